// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/PreciseTimer.hpp"

#include <QCoroTimer>
#include <QTimer>

namespace zemlar::PreciseTimer {

QCoro::Task<> sleepFor(std::chrono::duration<double> interval) {
    using Steady = std::chrono::steady_clock;
    const auto deadline = Steady::now() + std::chrono::ceil<Steady::duration>(interval);
    do {
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setSingleShot(true);
        timer.start(std::chrono::ceil<std::chrono::milliseconds>(deadline - Steady::now()));
        co_await timer;
    } while (Steady::now() < deadline);
}

} // namespace zemlar::PreciseTimer
