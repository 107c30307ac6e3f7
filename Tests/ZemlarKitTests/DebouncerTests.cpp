// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTestSupport.hpp"

#include <QElapsedTimer>
#include <ZemlarKit/Debouncer.hpp>
#include <gtest/gtest.h>

using namespace zemlar;
using namespace std::chrono_literals;

namespace {

struct DebouncerTest : ::testing::Test {
    void SetUp() override { zemlar::testing::ensureCoreApplication(); }
};

TEST_F(DebouncerTest, aBurstRunsTheLastActionOnceADelayAfterTheLastCall) {
    Debouncer debouncer(150ms);
    std::vector<int> runs;
    QElapsedTimer sinceLast;
    qint64 ranAfter = -1;
    for (int call = 1; call <= 3; ++call) {
        debouncer.schedule([&, call] {
            runs.push_back(call);
            ranAfter = sinceLast.elapsed();
        });
        sinceLast.start();
        zemlar::testing::runEventLoop(30ms);
    }
    EXPECT_TRUE(runs.empty());
    EXPECT_TRUE(debouncer.isPending());
    zemlar::testing::runEventLoop(600ms);
    EXPECT_EQ(runs, std::vector<int>{3});
    EXPECT_GE(ranAfter, 150);
    EXPECT_FALSE(debouncer.isPending());
}

TEST_F(DebouncerTest, aCancelledRunNeverHappensAndAnActionMayScheduleTheNextOne) {
    Debouncer debouncer(20ms);
    int runs = 0;
    debouncer.schedule([&] { ++runs; });
    debouncer.cancel();
    zemlar::testing::runEventLoop(100ms);
    EXPECT_EQ(runs, 0);

    debouncer.schedule([&] {
        ++runs;
        debouncer.schedule([&] { runs += 10; });
    });
    zemlar::testing::runEventLoop(300ms);
    EXPECT_EQ(runs, 11);
}

} // namespace
