// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <functional>
#include <memory>

namespace zemlar {

/// Reports each wake from sleep: logind's `PrepareForSleep` turning false on the system bus.
/// Without a system bus nothing is reported.
class WakeEvents {
public:
    /// `onWake` runs on the thread that created the object, once per wake.
    explicit WakeEvents(std::function<void()> onWake,
                        QDBusConnection systemBus = QDBusConnection::systemBus());
    ~WakeEvents();

    WakeEvents(const WakeEvents&) = delete;
    WakeEvents& operator=(const WakeEvents&) = delete;

    class Receiver;

private:
    std::unique_ptr<Receiver> receiver_;
};

} // namespace zemlar
