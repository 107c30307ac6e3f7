// SPDX-License-Identifier: GPL-3.0-or-later
// The application from launch on, over one computer's real stores: what the first launch
// shows and the accounts moved from older keychain items.
#include "AppDelegate.hpp"
#include "BackupTesting.hpp"

#include <QTest>
#include <ZemlarScreens/SettingsView.hpp>
#include <gtest/gtest.h>

namespace zemlar {
namespace {

using testing::BackupComputer;
using testing::phoneAccount;
using testing::sealedFile;

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

// The inbox taken in at launch is the end-to-end test's.
TEST_F(AppStartUpTest, TheFirstLaunchOpensTheAccountsOrWithABackupTheBackupTabOfferingARestore) {
    launch(); // on the offscreen platform, without a tray
    ASSERT_NE(delegate->settingsWindow(), nullptr);
    EXPECT_EQ(shownTab(), SettingsTab::accounts);
    EXPECT_EQ(delegate->trayIcon(), nullptr);

    computer.put("backup.zemlar", sealedFile({phoneAccount(1, "GitHub")}));
    launch();
    ASSERT_NE(delegate->settingsWindow(), nullptr);
    EXPECT_TRUE(delegate->backup().offersRestore());
    EXPECT_EQ(shownTab(), SettingsTab::backup);
}

TEST_F(AppStartUpTest, SecretsOfOlderKeychainItemsMoveIntoTheVault) {
    ASSERT_TRUE(legacySecrets->add(testing::rfcSecret(), testing::uuid(4)));
    launch();
    EXPECT_EQ(computer.environment.secretStore->read(testing::uuid(4)), testing::rfcSecret());
    EXPECT_FALSE(legacySecrets->read(testing::uuid(4)));
}

} // namespace
} // namespace zemlar
