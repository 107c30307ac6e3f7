// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/DeviceAuthentication.hpp"
#include "ZemlarKit/SessionEvents.hpp"

#include <QDBusConnection>
#include <QObject>
#include <QPromise>
#include <memory>
#include <qcoro/qcorotask.h>

namespace zemlar {

/// The optional requirement to authenticate before the search panel shows codes. One
/// successful authentication unlocks the rest of the session; sleep, a screen lock, a switch
/// away from the session and a restart lock again. Authentications run one at a time: a request
/// while another one asks waits for its end and then decides afresh. Lives on the main thread.
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
    /// After every lock event, whether or not the requirement is on.
    void locked();
    /// The logind session could not be found, so its lock and switch-away are not heard;
    /// `details` holds the lookups' errors.
    void sessionUnknown(const QString& details);

private:
    using Turn = std::shared_ptr<QPromise<void>>;

    /// Waits until no authentication of this lock runs, then holds the turn until the returned
    /// promise finishes; nothing when the lock went away meanwhile.
    QCoro::Task<Turn> takeTurn();
    void setState(bool enabled, bool unlocked);
    void storeEnabled(bool enabled);

    DeviceAuthentication& authentication_;
    bool enabled_ = false;
    bool unlocked_ = false;
    Turn running_;
    SessionEvents events_;
};

} // namespace zemlar
