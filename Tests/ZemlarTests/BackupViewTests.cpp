// SPDX-License-Identifier: GPL-3.0-or-later
#include "BackupModel.hpp"
#include "BackupTesting.hpp"
#include "BackupView.hpp"
#include "DisplayDate.hpp"

#include <OTPCore/BackupRotation.hpp>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <TestSupport/ScopedEnvironment.hpp>
#include <ZemlarKit/ChosenBackupFolder.hpp>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <qcoro/qcorotask.h>
#include <tuple>

namespace zemlar {
namespace {

using Kind = BackupModel::Status::Kind;

TEST(BackupViewHint, followsTheTwoFieldsAndWhetherAPassphraseIsSet) {
    const char* tooShort = "At least 6 characters. The passphrase is not stored anywhere: "
                           "without it the backup can't be opened.";
    const std::tuple<const char*, const char*, bool, const char*> cases[] = {
        {"", "", false, tooShort},
        {"abcde", "abcde", true, tooShort},
        {"abcdef", "", false, ""},
        {"abcdef", "abcdeg", true, "The passphrases don't match"},
        {"abcdef", "abcdef", false, ""},
        {"abcdef", "abcdef", true, "Older backup versions stay encrypted with the old passphrase."},
    };
    for (const auto& [passphrase, confirmation, isSet, hint] : cases) {
        EXPECT_EQ(BackupView::passphraseHint(passphrase, confirmation, isSet), hint)
            << passphrase << " / " << confirmation;
    }
}

class BackupViewTest : public ::testing::Test {
protected:
    testing::BackupComputer computer;
    BackupModel model{computer.environment};
    BackupView view{model};
};

TEST_F(BackupViewTest, buttonsFollowTheFieldsThePassphraseAndRunningOperations) {
    EXPECT_EQ(view.passphraseState()->text(), "not set");
    EXPECT_EQ(view.passphraseLabel()->text(), "Passphrase");
    EXPECT_FALSE(view.setPassphraseButton()->isEnabled());
    EXPECT_FALSE(view.backUpNowButton()->isEnabled());
    EXPECT_FALSE(view.checkBackupButton()->isEnabled());
    view.passphraseField()->setText("abcdef");
    view.confirmationField()->setText("abcdef");
    EXPECT_TRUE(view.setPassphraseButton()->isEnabled());
    EXPECT_EQ(view.hint()->text(), "");

    computer.setPassphrase();
    QCoro::waitFor(model.refresh());
    EXPECT_EQ(view.passphraseState()->text(), "set");
    EXPECT_EQ(view.passphraseLabel()->text(), "New passphrase");
    EXPECT_EQ(view.setPassphraseButton()->text(), "Change Passphrase");
    EXPECT_EQ(view.hint()->text(), "Older backup versions stay encrypted with the old passphrase.");
    EXPECT_TRUE(view.backUpNowButton()->isEnabled());
    EXPECT_TRUE(view.checkBackupButton()->isEnabled());

    QCoro::Task<> running = model.backUpNow();
    EXPECT_FALSE(view.setPassphraseButton()->isEnabled());
    EXPECT_FALSE(view.backUpNowButton()->isEnabled());
    EXPECT_FALSE(view.checkBackupButton()->isEnabled());
    QCoro::waitFor(running);
    EXPECT_TRUE(view.backUpNowButton()->isEnabled());
    EXPECT_EQ(view.statusText()->text(), "Backup created (accounts: 0)");
}

TEST_F(BackupViewTest, restoringFromAChosenFileTakesTheFieldAndCancellingDoesNothing) {
    computer.put("backup.zemlar", testing::sealedFile({testing::phoneAccount(5, "Phone")}));
    QCoro::waitFor(model.refresh());
    ASSERT_TRUE(model.offersRestore());
    EXPECT_FALSE(view.fromFileButton()->isEnabled());
    view.restorePassphraseField()->setText(QString::fromUtf8(testing::testPassphrase));
    EXPECT_TRUE(view.fromSyncFolderButton()->isEnabled());

    view.chooseFile = [] { return QString(); };
    view.fromFileButton()->click();
    EXPECT_FALSE(view.restorePassphraseField()->text().isEmpty());
    EXPECT_EQ(model.status(), BackupModel::Status::idle());

    const auto file = computer.backupFolder() / "backup.zemlar";
    view.chooseFile = [&] { return QString::fromStdString(file.string()); };
    view.fromFileButton()->click();
    EXPECT_TRUE(view.restorePassphraseField()->text().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return model.status().kind() == Kind::success; }, 10000));
    EXPECT_EQ(view.statusText()->text(), "Restored: 1, already present: 0, failed: 0");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !model.offersRestore(); }, 10000));
}

TEST_F(BackupViewTest, restoreIsAtHandWithAccountsPresentAndFromAnEarlierBackupToo) {
    computer.add(1, "GitHub");
    QCoro::waitFor(model.refresh());
    EXPECT_TRUE(view.fromFileButton()->isVisibleTo(&view));
    EXPECT_FALSE(view.fromSyncFolderButton()->isVisibleTo(&view));

    computer.put("backup.zemlar", testing::sealedFile({testing::phoneAccount(5, "Phone")}));
    computer.put(BackupRotation::archiveName(Date(1'700'000'000)),
                 testing::sealedFile(
                     {testing::phoneAccount(5, "Phone"), testing::phoneAccount(6, "Older")}));
    QCoro::waitFor(model.refresh());
    EXPECT_FALSE(view.restoreOffer()->isVisibleTo(&view)); // only without accounts
    ASSERT_TRUE(view.fromSyncFolderButton()->isVisibleTo(&view));
    ASSERT_EQ(view.versionChoice()->count(), 2); // the latest and the earlier one
    view.versionChoice()->setCurrentIndex(1);
    view.restorePassphraseField()->setText(QString::fromUtf8(testing::testPassphrase));
    view.fromSyncFolderButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return model.status().kind() == Kind::success; }, 10000));
    EXPECT_EQ(view.statusText()->text(), "Restored: 2, already present: 0, failed: 0");
}

TEST_F(BackupViewTest, anEarlierBackupShowsItsAccountCountOnceTheListIsOpened) {
    computer.setPassphrase();
    const Date older(1'700'000'000), oldest(1'600'000'000);
    computer.put("backup.zemlar", testing::sealedFile({}));
    computer.put(BackupRotation::archiveName(older),
                 testing::sealedFile(
                     {testing::phoneAccount(5, "Phone"), testing::phoneAccount(6, "Older")}));
    // Under another passphrase's key, which the stored one does not open.
    computer.put(BackupRotation::archiveName(oldest),
                 BackupCodec::seal(BackupPayload::make(oldest, {}, {}), Bytes(32, 7),
                                   BackupHeader::make(testing::testSalt(), testing::testIterations),
                                   Bytes(BackupCodec::nonceLength, 1))
                     .value());
    QCoro::waitFor(model.refresh());
    QComboBox& list = *view.versionChoice();
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.itemText(1), DisplayDate::abbreviated(older));

    list.showPopup();
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.itemText(1) != DisplayDate::abbreviated(older); },
                                10000));
    EXPECT_EQ(list.itemText(1), DisplayDate::abbreviated(older) + " (accounts: 2)");
    EXPECT_EQ(list.itemText(2), DisplayDate::abbreviated(oldest));
    list.hidePopup();
    QCoro::waitFor(model.refresh());
    EXPECT_EQ(list.itemText(1), DisplayDate::abbreviated(older) + " (accounts: 2)");
}

TEST(BackupViewFolder, aNewFolderGetsTheBackupsWhenAskedAndEverythingFollowsTheChoice) {
    testing::BackupComputer computer;
    const testing::ScopedEnvironment home("HOME", computer.root().c_str());
    testing::userDefaults().setValue("backupDirectory",
                                     QString::fromStdString(computer.backupFolder().string()));
    computer.environment.fileStore = std::make_shared<ChosenBackupFolder>(5);
    const std::string archive = BackupRotation::archiveName(Date(1'700'000'000));
    computer.put("backup.zemlar", testing::sealedFile({testing::phoneAccount(5, "Phone")}));
    computer.put(archive, testing::sealedFile({}));
    BackupModel model{computer.environment};
    BackupView view{model};
    EXPECT_EQ(view.folderLabel()->text(), "~/Zemlar");

    const std::filesystem::path synced = computer.root() / "Sync" / "Zemlar";
    view.chooseFolder = [&] { return QString::fromStdString(synced.string()); };
    int asked = 0;
    view.confirmCopy = [&] {
        ++asked;
        return std::optional<bool>(); // cancelled: nothing changes
    };
    view.changeFolderButton()->click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(model.status().kind(), Kind::idle);
    EXPECT_EQ(view.folderLabel()->text(), "~/Zemlar");

    view.confirmCopy = [&] {
        ++asked;
        return std::optional(true);
    };
    view.changeFolderButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.status().kind() == Kind::success; }));
    EXPECT_EQ(view.statusText()->text(), "Backups now go to ~/Sync/Zemlar");
    EXPECT_EQ(view.folderLabel()->text(), "~/Sync/Zemlar");
    EXPECT_TRUE(std::filesystem::exists(synced / "backup.zemlar"));
    EXPECT_TRUE(std::filesystem::exists(synced / archive));
    std::filesystem::remove(computer.backupFolder() / "backup.zemlar");
    QCoro::waitFor(model.refresh());
    EXPECT_TRUE(model.offersRestore()); // the backup now comes from the new folder
    EXPECT_EQ(asked, 2);
}

} // namespace
} // namespace zemlar
