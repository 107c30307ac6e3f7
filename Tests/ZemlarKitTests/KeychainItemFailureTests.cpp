// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreDoubles.hpp"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

/// Runs the keychain calls in a child process whose session bus does not exist, so neither this
/// process nor the user's keyring is touched; the child's exit code counts the mismatches.
int mismatchesWithoutSecretService() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/zemlar-test-bus", 1);
        const auto unreachable = SecretStoreError::keychain(KeychainItem::statusServiceFailure);
        int mismatches = 0;
        mismatches += KeychainItem::read("app.zemlar.Zemlar.test", "a").error() != unreachable;
        mismatches +=
            KeychainItem::add("app.zemlar.Zemlar.test", "a", Bytes{1}).error() != unreachable;
        mismatches +=
            KeychainItem::upsert("app.zemlar.Zemlar.test", "a", Bytes{1}).error() != unreachable;
        mismatches += KeychainItem::accounts("app.zemlar.Zemlar.test").error() != unreachable;
        mismatches += KeychainItem::remove("app.zemlar.Zemlar.test", "a").error() != unreachable;
        mismatches +=
            KeychainVaultStorage("app.zemlar.Zemlar.test.vault").load().error() != unreachable;
        ::_exit(mismatches);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(KeychainItem, ReportsOurOwnStatusWhenNoSecretServiceAnswers) {
    EXPECT_EQ(mismatchesWithoutSecretService(), 0);
}
