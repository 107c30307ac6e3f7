// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <functional>
#include <memory>

namespace zemlar {

/// Reports the moments after which codes must not show without a new authentication: the
/// computer is about to sleep (logind `PrepareForSleep`), the session is locked (the logind
/// session's `Lock` signal, or a screen saver's `ActiveChanged` turning true on
/// org.freedesktop.ScreenSaver or org.gnome.ScreenSaver) or switched away from (the logind
/// session's `Active` property turning false). Buses that are not there are skipped quietly.
class SessionEvents {
public:
    /// `onLock` runs on the thread that created the object, once per event.
    explicit SessionEvents(std::function<void()> onLock,
                           QDBusConnection sessionBus = QDBusConnection::sessionBus(),
                           QDBusConnection systemBus = QDBusConnection::systemBus());
    ~SessionEvents();

    SessionEvents(const SessionEvents&) = delete;
    SessionEvents& operator=(const SessionEvents&) = delete;

    class Receiver;

private:
    std::unique_ptr<Receiver> receiver_;
};

} // namespace zemlar
