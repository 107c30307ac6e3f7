// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/Debouncer.hpp"

#include <utility>

namespace zemlar {

Debouncer::Debouncer(std::chrono::milliseconds delay) : delay_(delay) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        // Taken out first: the action may schedule the next run.
        auto action = std::exchange(action_, nullptr);
        if (action) {
            action();
        }
    });
}

void Debouncer::schedule(std::function<void()> action) {
    action_ = std::move(action);
    timer_.start(delay_);
}

void Debouncer::cancel() {
    timer_.stop();
    action_ = nullptr;
}

} // namespace zemlar
