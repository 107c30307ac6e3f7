// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoroTask>
#include <chrono>

/// Waits that never end early. Qt's default (coarse) timers may fire up to 5 % before their
/// interval, which matters when a wait guards a deadline.
namespace zemlar::PreciseTimer {

/// Waits at least `interval` on the monotonic clock, keeping the event loop running.
QCoro::Task<> sleepFor(std::chrono::duration<double> interval);

} // namespace zemlar::PreciseTimer
