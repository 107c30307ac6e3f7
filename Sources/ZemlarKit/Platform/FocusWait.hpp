// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoroTask>
#include <chrono>
#include <functional>

namespace zemlar {

/// Waits up to `timeout` for the keyboard focus to be where the typing wants it, checking every
/// 5 ms while the event loop runs; whether it got there.
QCoro::Task<bool> focusWait(std::function<bool()> focusIsRight, std::chrono::milliseconds timeout);

} // namespace zemlar
