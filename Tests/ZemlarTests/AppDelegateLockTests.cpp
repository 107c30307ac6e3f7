// SPDX-License-Identifier: GPL-3.0-or-later
// The shell's side of the session lock: the shortcut's unlock and a lock while the panel shows.
#include "AppDelegate.hpp"
#include "AppDoubles.hpp"

#include <QTest>
#include <TestSupport/FreshSettings.hpp>
#include <gtest/gtest.h>
#include <stdexcept>

namespace zemlar {
namespace {

/// Fails with an exception the first time (as a prompter that went away might), then agrees.
class FailingOnceAuthentication final : public DeviceAuthentication {
public:
    int requests = 0;

    QCoro::Task<bool> authenticate(QString) override {
        if (++requests == 1) {
            throw std::runtime_error("no prompter");
        }
        co_return true;
    }
};

class NoDelivery final : public DeliveryMethods {
public:
    bool prepare(const Account&, SubmitMode) override { return true; }
    QCoro::Task<std::optional<DeliveryFailure>> run(Account, SubmitMode, CodeDeliveryFlow::Clock,
                                                    std::optional<std::uint64_t>) override {
        co_return std::nullopt;
    }
};

class ShellLockTest : public testing::FreshSettings {
protected:
    void SetUp() override {
        FreshSettings::SetUp();
        store(QStringLiteral("requireAuthentication"), true);
        stores.accounts->accounts = {testing::account(1, "GitHub")};
        delegate = std::make_unique<AppDelegate>(AppDelegate::Parts{
            .environment = stores.environment(),
            .windowSystem = std::make_shared<testing::QuietWindowSystem>(),
            .delivery = std::make_shared<NoDelivery>(),
            .clock = [] { return Date(1'700'000'010); },
            .presentAlert = [](AppDelegate::Alert) {},
            .tabHost = {},
            .authentication = authentication,
            .legacySecrets = nullptr,
            .legacyKeys = nullptr,
        });
    }

    testing::Stores stores;
    std::shared_ptr<FailingOnceAuthentication> authentication =
        std::make_shared<FailingOnceAuthentication>();
    std::unique_ptr<AppDelegate> delegate;
};

TEST_F(ShellLockTest, AFailedUnlockLeavesTheShortcutWorkingAndALockHidesThePanel) {
    delegate->togglePanel();
    EXPECT_FALSE(delegate->unlocking());
    EXPECT_FALSE(delegate->panel().isVisible());

    delegate->togglePanel();
    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate->panel().isVisible(); }, 5000));
    EXPECT_EQ(authentication->requests, 2);

    delegate->sessionLock().lock();
    EXPECT_FALSE(delegate->panel().isVisible());
}

} // namespace
} // namespace zemlar
