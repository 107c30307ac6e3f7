// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/DeviceAuthentication.hpp"
#include "ZemlarKit/SessionEvents.hpp"

#include <QDBusConnection>
#include <QObject>
#include <qcoro/qcorotask.h>

namespace zemlar {

/// The optional requirement to authenticate before the search panel shows codes. One
/// successful authentication unlocks the rest of the session; sleep, a screen lock, a switch
/// away from the session and a restart lock again. Lives on the main thread.
class SessionLock : public QObject {
    Q_OBJECT

public:
    /// The user-defaults key of the requirement (a Boolean; absent reads as false).
    static constexpr const char* settingsKey = "requireAuthentication";

    /// Listens to the lock events on the user's session bus and the system bus.
    explicit SessionLock(DeviceAuthentication& authentication, QObject* parent = nullptr);
    SessionLock(DeviceAuthentication& authentication, QDBusConnection sessionBus,
                QDBusConnection systemBus, QObject* parent = nullptr);
    ~SessionLock() override;

    bool isEnabled() const { return enabled_; }
    bool unlocked() const { return unlocked_; }

    /// True when codes may be shown now; asks for authentication only when the requirement is
    /// on and this session has not been unlocked yet.
    QCoro::Task<bool> unlock();

    /// Switches the requirement on (which locks) or off (which needs an authentication while
    /// the requirement is on; a refusal changes nothing).
    QCoro::Task<void> setEnabled(bool enabled);

    /// Locks again (the session events call this).
    void lock();

signals:
    /// After `isEnabled` or `unlocked` changed.
    void changed();

private:
    void setState(bool enabled, bool unlocked);
    void storeEnabled(bool enabled);

    DeviceAuthentication& authentication_;
    bool enabled_ = false;
    bool unlocked_ = false;
    SessionEvents events_;
};

} // namespace zemlar
