// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QString>
#include <functional>
#include <memory>

namespace zemlar {

/// Reports the moments after which codes must not show without a new authentication: the
/// computer is about to sleep (logind `PrepareForSleep`), the session is locked (the logind
/// session's `Lock` signal or its `LockedHint` turning true, or a screen saver's `ActiveChanged`
/// turning true on the freedesktop, GNOME, Xfce, MATE or Cinnamon interface) or switched away
/// from (the logind session's `Active` property turning false). Buses that are not there are
/// skipped quietly.
///
/// The logind session is the one of this process, else logind's "auto" session (the caller's
/// display session, for a process started outside any session such as a user service), else
/// the one named by XDG_SESSION_ID.
class SessionEvents {
public:
    /// `onLock` runs on the thread that created the object, once per event. `onSessionUnknown`
    /// runs once, with the lookups' errors, when none of the ways finds the logind session.
    explicit SessionEvents(std::function<void()> onLock,
                           QDBusConnection sessionBus = QDBusConnection::sessionBus(),
                           QDBusConnection systemBus = QDBusConnection::systemBus(),
                           std::function<void(const QString&)> onSessionUnknown = {});
    ~SessionEvents();

    SessionEvents(const SessionEvents&) = delete;
    SessionEvents& operator=(const SessionEvents&) = delete;

    class Receiver;

private:
    std::unique_ptr<Receiver> receiver_;
};

} // namespace zemlar
