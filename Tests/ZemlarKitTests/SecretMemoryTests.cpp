// SPDX-License-Identifier: GPL-3.0-or-later
// Secrets in this process: where they come from, where they are kept and how they are wiped.
#include "StoreDoubles.hpp"

#include <ZemlarKit/LockedSecrets.hpp>
#include <ZemlarKit/ProcessHardening.hpp>
#include <gtest/gtest.h>
#include <set>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zemlar;
using namespace zemlar::testing;

TEST(ProcessHardening, LeavesNoCoreDumpAndNoMemoryToReadFromOutside) {
    EXPECT_TRUE(ProcessHardening::apply());
    EXPECT_EQ(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
    rlimit core{};
    ASSERT_EQ(getrlimit(RLIMIT_CORE, &core), 0);
    EXPECT_EQ(core.rlim_cur, 0u);
    EXPECT_EQ(core.rlim_max, 0u);
}

TEST(LockedSecrets, HoldsCopiesWipesTheMapItCameFromAndForgetsOnClear) {
    SecretMap map{{uuidNumber(1), Bytes{1, 2, 3}}, {uuidNumber(2), Bytes(40, 9)}};
    LockedSecrets secrets(std::move(map));
    EXPECT_EQ(map[uuidNumber(1)], Bytes(3, 0));
    const auto held = [&](LockedSecrets& from, std::uint8_t number) {
        const auto found = from.find(uuidNumber(number));
        return found ? std::optional(Bytes(found->begin(), found->end())) : std::nullopt;
    };
    EXPECT_EQ(held(secrets, 1), (Bytes{1, 2, 3}));
    EXPECT_EQ(held(secrets, 3), std::nullopt);

    LockedSecrets moved = std::move(secrets);
    EXPECT_TRUE(secrets.empty());
    EXPECT_FALSE(moved.empty());
    moved.clear();
    EXPECT_EQ(held(moved, 1), std::nullopt);
}

TEST(RandomBytes, NeverRepeatsASalt) {
    std::set<Bytes> salts;
    for (int draw = 0; draw < 1000; ++draw) {
        salts.insert(RandomBytes::generate(16));
    }
    EXPECT_EQ(salts.size(), 1000u);
}

// In a child process whose session bus does not exist, so that neither this process nor the
// user's keyring is touched: every keychain call reports our own status for it.
TEST(KeychainItem, ReportsOurOwnStatusWhenNoSecretServiceAnswers) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/zemlar-test-bus", 1);
        const auto unreachable = SecretStoreError::keychain(KeychainItem::statusServiceFailure);
        const char* service = "app.zemlar.Zemlar.test";
        const bool all = KeychainItem::read(service, "a").error() == unreachable &&
                         KeychainVaultStorage(service).load().error() == unreachable;
        ::_exit(all ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
