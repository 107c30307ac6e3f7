// SPDX-License-Identifier: GPL-3.0-or-later
// The application from launch on, over one computer's real stores: what the first launch
// shows, the accounts moved from older keychain items, and the phone's inbox taken in at start,
// after a wake and into an open accounts screen.
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

    Accounts storedAccounts() const { return computer.environment.accountStore->load().value(); }

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
    EXPECT_EQ(delegate->settingsWindow()->windowTitle(), "Zemlar Settings");
    EXPECT_EQ(shownTab(), SettingsTab::accounts);
    EXPECT_FALSE(delegate->backup().offersRestore());
    EXPECT_EQ(delegate->trayIcon(), nullptr);
}

TEST_F(AppStartUpTest, AnInboxSealedUnderTheStoredKeyIsTakenInAndShownWithoutAnyUserAction) {
    computer.setPassphrase();
    computer.put("inbox.zemlar", sealedFile({phoneAccount(2, "FromPhone")}));
    launch();
    EXPECT_TRUE(hasAccount(storedAccounts(), "FromPhone"));
    // The accounts screen is open (no tray here) and reloads by itself.
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return hasAccount(delegate->accounts().accounts(), "FromPhone"); }, 5000));
    EXPECT_TRUE(delegate->backup().hasPhone());
}

TEST_F(AppStartUpTest, AWakeFromSleepChecksTheInboxAtOnce) {
    computer.setPassphrase();
    launch();
    computer.put("inbox.zemlar", sealedFile({phoneAccount(3, "AfterWake")}));
    delegate->systemDidWake();
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return hasAccount(storedAccounts(), "AfterWake"); }, 5000));
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

TEST_F(AppStartUpTest, TheAboutWindowIsTitledAndKeptWhenClosed) {
    launch();
    delegate->showAbout();
    QWidget* about = delegate->aboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), "About Zemlar");
    EXPECT_FALSE(about->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    about->close();
    delegate->showAbout();
    EXPECT_EQ(delegate->aboutWindow(), about);
    EXPECT_TRUE(about->isVisible());
}

} // namespace
} // namespace zemlar
