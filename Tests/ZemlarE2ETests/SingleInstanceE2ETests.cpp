// SPDX-License-Identifier: GPL-3.0-or-later
// Launches of the built application at the same moment, as a double-clicked launcher makes them.
#include "E2ESupport.hpp"

#include <chrono>
#include <gtest/gtest.h>
#include <set>
#include <thread>

namespace zemlar {
namespace {

using namespace std::chrono_literals;
using namespace zemlar::testing;

TEST(SingleInstanceE2E, TenLaunchesAtOnceLeaveExactlyOneInstance) {
    if (!std::getenv("ZEMLAR_TEST_X_SERVER") || !std::getenv("ZEMLAR_PRIVATE_KEYRING")) {
        GTEST_SKIP() << "needs the private X server of scripts/with-x11 inside the private "
                        "keyring of scripts/with-keyring";
    }
    std::set<pid_t> running;
    for (int launch = 0; launch < 10; ++launch) {
        const pid_t app = spawn({ZEMLAR_APP_PATH});
        ASSERT_GT(app, 0);
        running.insert(app);
    }
    // Nine hand over to the running one and end; the deadline only bounds a failing run.
    const auto deadline = std::chrono::steady_clock::now() + 90s;
    while (running.size() > 1 && std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        const pid_t ended = waitpid(-1, &status, WNOHANG);
        if (ended > 0 && running.erase(ended) == 1) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        } else {
            std::this_thread::sleep_for(50ms);
        }
    }
    for (const pid_t app : running) {
        EXPECT_EQ(waitpid(app, nullptr, WNOHANG), 0) << "this instance should still run";
    }
    EXPECT_EQ(running.size(), 1U);
    for (const pid_t app : running) {
        stop(app);
    }
}

} // namespace
} // namespace zemlar
