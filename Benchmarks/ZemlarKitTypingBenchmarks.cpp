// SPDX-License-Identifier: GPL-3.0-or-later
// Typing speed and reliability against a window of our own. Needs the private X server:
//   scripts/with-x11 build/release/Benchmarks/ZemlarKitBenchmarks
//   --benchmark_filter=Typing\|Thousand
// Without it these benchmarks report an error and skip.
#include <QCoreApplication>
#include <QCoroTask>
#include <ZemlarKit/TypingDelivery.hpp>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

// Last: the test field brings Xlib, whose macros Qt's headers must not see.
#include "TestTextField.hpp"

using namespace zemlar;
using namespace std::chrono_literals;

namespace {

bool ready(benchmark::State& state) {
    if (std::getenv("ZEMLAR_TEST_X_SERVER") == nullptr) {
        state.SkipWithError("needs the private X server: run under scripts/with-x11");
        return false;
    }
    if (QCoreApplication::instance() == nullptr) {
        XInitThreads();
        static int argc = 1;
        static char name[] = "ZemlarKitTypingBenchmarks";
        static char* argv[] = {name, nullptr};
        static QCoreApplication* application = new QCoreApplication(argc, argv);
        (void)application;
    }
    return true;
}

/// From the call of deliver to the arrival of the last key (Return) in the focused window, for a
/// 6-digit code with Return at the shell's 10 ms interval.
void BM_TypingSixDigitsAndReturn(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    testing::TestTextField field;
    const TypingDelivery delivery(std::chrono::milliseconds(state.range(0)), true);
    double deliverSeconds = 0;
    for (auto _ : state) {
        field.clear();
        TypingDelivery typing = delivery;
        const auto start = std::chrono::steady_clock::now();
        const auto result = QCoro::waitFor(typing.deliver("012345"));
        deliverSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!result || !field.waitForKeys(7) || field.text() != "012345\n") {
            state.SkipWithError("the code did not arrive intact");
            return;
        }
        const auto lastKey = field.keys().back().arrival;
        state.SetIterationTime(std::chrono::duration<double>(lastKey - start).count());
    }
    // How long deliver itself takes, the pause after Return included.
    state.counters["deliver_ms"] =
        benchmark::Counter(deliverSeconds * 1000, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_TypingSixDigitsAndReturn)
    ->Arg(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

/// 1,000 consecutive deliveries of random codes at the interval; counts the deliveries whose
/// digits did not all arrive in order. The lowest interval with a zero count is the figure.
void BM_ThousandDeliveriesIntact(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    testing::TestTextField field;
    TypingDelivery typing(std::chrono::milliseconds(state.range(0)), true);
    std::mt19937 random(42);
    std::uniform_int_distribution<int> digit(0, 9);
    int damaged = 0;
    for (auto _ : state) {
        for (int delivery = 0; delivery < 1000; ++delivery) {
            std::string code;
            for (int index = 0; index < 6; ++index) {
                code += static_cast<char>('0' + digit(random));
            }
            field.clear();
            const bool delivered = QCoro::waitFor(typing.deliver(code)).has_value();
            field.waitForKeys(7, 500ms);
            if (!delivered || field.text() != code + "\n") {
                ++damaged;
            }
        }
    }
    state.counters["damaged"] = damaged;
}
BENCHMARK(BM_ThousandDeliveriesIntact)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(5)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace
