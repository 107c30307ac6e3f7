// SPDX-License-Identifier: GPL-3.0-or-later
// The application from launch on, over one computer's real stores: what the first launch
// shows, the accounts moved from older keychain items, and the phone's inbox taken in after a wake
// into an open accounts screen.
#include "AppDelegate.hpp"
#include "BackupTesting.hpp"

#include <QSystemTrayIcon>
#include <QTest>
#include <ZemlarScreens/SettingsView.hpp>
#include <gtest/gtest.h>

namespace zemlar {
namespace {

using testing::BackupComputer;
using testing::phoneAccount;
using testing::sealedFile;

bool hasAccount(const Accounts& accounts, std::string_view issuer) {
    return std::ranges::any_of(
        accounts, [issuer](const Account& account) { return account.issuer == issuer; });
}

class AppStartUpTest : public ::testing::Test {
protected:
    void launch() {
        delegate = std::make_unique<AppDelegate>(AppDelegate::Parts{
            .environment = computer.environment,
            .windowSystem = windows,
            .delivery = nullptr,
            .clock = PanelModel::systemClock(),
            .presentAlert = [](AppDelegate::Alert) {},
            .tabHost = {},
            .authentication = {},
            .legacySecrets = legacySecrets,
            .legacyKeys = legacyKeys,
        });
        delegate->applicationDidFinishLaunching();
        ASSERT_TRUE(QTest::qWaitFor([this] { return delegate->startedUp(); }, 10'000));
    }

    SettingsTab shownTab() const {
        return static_cast<SettingsTab>(delegate->settingsWindow()->view()->currentIndex());
    }

    BackupComputer computer;
    std::shared_ptr<testing::QuietWindowSystem> windows =
        std::make_shared<testing::QuietWindowSystem>();
    std::shared_ptr<SecretVault> oldVault =
        std::make_shared<SecretVault>(std::make_unique<InMemoryVaultStorage>());
    std::shared_ptr<SecretStore> legacySecrets = std::make_shared<VaultSecretStore>(oldVault);
    std::shared_ptr<BackupKeyStore> legacyKeys = std::make_shared<VaultBackupKeyStore>(oldVault);
    std::unique_ptr<AppDelegate> delegate;
};

TEST_F(AppStartUpTest, ABackupWithoutLocalAccountsOpensTheBackupTabOfferingARestore) {
    computer.put("backup.zemlar", sealedFile({phoneAccount(1, "GitHub")}));
    launch();
    ASSERT_NE(delegate->settingsWindow(), nullptr);
    EXPECT_TRUE(delegate->settingsWindow()->isVisible());
    EXPECT_TRUE(delegate->backup().offersRestore());
    EXPECT_EQ(shownTab(), SettingsTab::backup);
}

TEST_F(AppStartUpTest, WithoutABackupTheFirstLaunchWithoutATrayOpensTheAccounts) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()); // the offscreen platform has none
    launch();
    ASSERT_NE(delegate->settingsWindow(), nullptr);
    EXPECT_EQ(shownTab(), SettingsTab::accounts);
    EXPECT_FALSE(delegate->backup().offersRestore());
    EXPECT_EQ(delegate->trayIcon(), nullptr);
}

// The inbox at launch is the end-to-end test's; here a wake, and the open accounts screen (no
// tray here) reloading by itself.
TEST_F(AppStartUpTest, AWakeFromSleepChecksTheInboxAtOnceAndTheAccountsScreenShowsItsAccounts) {
    computer.setPassphrase();
    launch();
    computer.put("inbox.zemlar", sealedFile({phoneAccount(3, "AfterWake")}));
    delegate->systemDidWake();
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return hasAccount(delegate->accounts().accounts(), "AfterWake"); }, 5000));
}

TEST_F(AppStartUpTest, SecretsOfOlderKeychainItemsMoveIntoTheVault) {
    ASSERT_TRUE(legacySecrets->add(testing::rfcSecret(), testing::uuid(4)));
    launch();
    EXPECT_EQ(computer.environment.secretStore->read(testing::uuid(4)), testing::rfcSecret());
    EXPECT_FALSE(legacySecrets->read(testing::uuid(4)));
}

TEST_F(AppStartUpTest, ReopenedSettingsAreTheSameWindowOnTheirLastTab) {
    launch();
    delegate->showSettings(SettingsTab::general);
    SettingsWindow* window = delegate->settingsWindow();
    window->close();
    delegate->showSettings();
    EXPECT_EQ(delegate->settingsWindow(), window);
    EXPECT_TRUE(window->isVisible());
    ASSERT_FALSE(windows->activated.empty()); // brought forward even behind another application
    EXPECT_EQ(windows->activated.back().window, window->winId());
    EXPECT_EQ(shownTab(), SettingsTab::general);
}

} // namespace
} // namespace zemlar
