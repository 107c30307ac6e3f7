// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <chrono>
#include <functional>

namespace zemlar {

/// Runs an action once, `delay` after the last of a burst of requests. Lives on the main thread:
/// create it there, call schedule() there, and the action runs there.
class Debouncer {
public:
    explicit Debouncer(std::chrono::milliseconds delay);
    Debouncer(const Debouncer&) = delete;
    Debouncer& operator=(const Debouncer&) = delete;

    std::chrono::milliseconds delay() const { return delay_; }

    /// Cancels the pending run, if any, and runs `action` once `delay` from now.
    void schedule(std::function<void()> action);
    /// Drops the pending run, if any.
    void cancel();
    /// Whether a run is waiting.
    bool isPending() const { return timer_.isActive(); }

private:
    std::chrono::milliseconds delay_;
    // A single-shot QTimer is the pending task: Qt times it on the monotonic clock, restarting it
    // replaces the previous wait, and it fires in the event loop of the thread it was made on.
    QTimer timer_;
    std::function<void()> action_;
};

} // namespace zemlar
