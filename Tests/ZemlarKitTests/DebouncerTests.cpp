// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTestSupport.hpp"

#include <QElapsedTimer>
#include <ZemlarKit/Debouncer.hpp>
#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::testing;
using namespace std::chrono_literals;

TEST(Debouncer, aBurstRunsTheLastActionOnceADelayAfterTheLastCallUnlessCancelled) {
    ensureCoreApplication();
    Debouncer debouncer(150ms);
    std::vector<int> runs;
    QElapsedTimer sinceLast;
    qint64 ranAfter = -1;
    for (int call = 1; call <= 3; ++call) {
        debouncer.schedule([&, call] {
            runs.push_back(call);
            ranAfter = sinceLast.elapsed();
            if (call == 3) { // an action may schedule the next one
                debouncer.schedule([&] { runs.push_back(4); });
            }
        });
        sinceLast.start();
        runEventLoop(30ms);
    }
    EXPECT_TRUE(runs.empty());
    EXPECT_TRUE(debouncer.isPending());
    for (int wait = 0; wait < 100 && runs.empty(); ++wait) {
        runEventLoop(10ms);
    }
    EXPECT_EQ(runs, std::vector<int>{3});
    EXPECT_GE(ranAfter, 150);
    EXPECT_TRUE(debouncer.isPending());
    debouncer.cancel();
    EXPECT_FALSE(debouncer.isPending());
    runEventLoop(300ms);
    EXPECT_EQ(runs, std::vector<int>{3});
}
