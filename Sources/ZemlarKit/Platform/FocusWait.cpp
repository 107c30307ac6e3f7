// SPDX-License-Identifier: GPL-3.0-or-later
#include "FocusWait.hpp"

#include "ZemlarKit/PreciseTimer.hpp"

namespace zemlar {

QCoro::Task<bool> focusWait(std::function<bool()> focusIsRight, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!focusIsRight()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            co_return false;
        }
        QCoro::Task<> pausing = PreciseTimer::sleepFor(std::chrono::milliseconds(5));
        co_await pausing;
    }
    co_return true;
}

} // namespace zemlar
