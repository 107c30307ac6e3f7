// SPDX-License-Identifier: GPL-3.0-or-later
#include "BackupModel.hpp"
#include "BackupTesting.hpp"
#include "BackupView.hpp"

#include <OTPCore/BackupRotation.hpp>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <ZemlarKit/ChosenBackupFolder.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <qcoro/qcorotask.h>
#include <semaphore>
#include <stdexcept>
#include <tuple>

namespace zemlar {
namespace {

using namespace std::chrono_literals;
using Kind = BackupModel::Status::Kind;
using testing::phoneAccount;
using testing::sealedFile;

constexpr auto shortDelay = 100ms;

class BackupModelTest : public ::testing::Test {
protected:
    std::unique_ptr<BackupModel> makeModel() {
        return std::make_unique<BackupModel>(computer.environment, shortDelay);
    }
    static std::optional<QString> storedHash() {
        const QVariant value = testing::userDefaults().value(BackupModel::inboxLastHashKey);
        return value.isValid() ? std::optional(value.toString()) : std::nullopt;
    }

    testing::BackupComputer computer;
};

/// The real backup folder, with the first write held until the test lets it go, and the first
/// look at the inbox failing with an exception.
class HeldBackupFolder : public BackupFileStore {
public:
    explicit HeldBackupFolder(std::shared_ptr<BackupFileStore> inner) : inner(std::move(inner)) {}

    Result<std::optional<Bytes>, BackupFileError> readLatest() override {
        return inner->readLatest();
    }
    Result<void, BackupFileError> write(const Bytes& data, Date now) override {
        overlapped = overlapped || ++writing > 1;
        if (writes++ == 0) {
            letGo.acquire();
        }
        auto written = inner->write(data, now);
        --writing;
        return written;
    }
    Result<std::optional<Bytes>, BackupFileError> readInbox() override {
        if (inboxReads++ == 0) {
            throw std::runtime_error("the first look fails");
        }
        return inner->readInbox();
    }

    std::shared_ptr<BackupFileStore> inner;
    std::atomic<int> writing = 0;
    std::atomic<int> writes = 0;
    std::atomic<bool> overlapped = false;
    std::atomic<int> inboxReads = 0;
    std::binary_semaphore letGo{0};
};

TEST(BackupModelStatus, aCheckIsASuccessOnlyWithoutDifferencesAndListsThem) {
    BackupCheckReport report{
        .exportedAt = Date(1'750'000'000), .accountsInBackup = 3, .missing = {}, .mismatched = {}};
    report.extra = 1; // deleted since then: no difference
    EXPECT_EQ(BackupModel::status(report).kind(), Kind::success);
    report.mismatched = {"Shop"};
    EXPECT_EQ(BackupModel::status(report).kind(), Kind::failure);
    EXPECT_TRUE(BackupModel::status(report).text().contains("Different code in the backup: Shop"));
}

TEST_F(BackupModelTest, changesDuringAnAutomaticBackupWriteOneMoreAfterItNeverTwoAtOnce) {
    computer.setPassphrase();
    computer.add(1, "GitHub");
    const auto folder = std::make_shared<HeldBackupFolder>(computer.environment.fileStore);
    AppEnvironment environment = computer.environment;
    environment.fileStore = folder;
    BackupModel model(environment, shortDelay);
    QSignalSpy finished(&model, &BackupModel::automaticBackupFinished);
    model.accountsDidChange();
    ASSERT_TRUE(QTest::qWaitFor([&] { return folder->writes == 1; }, 10000));
    // Straight into the stores: the running export holds the gate the flows wait for.
    const auto second = testing::uuid(2);
    ASSERT_TRUE(environment.secretStore->add(testing::rfcSecret(), second));
    auto accounts = environment.accountStore->load().value();
    accounts.push_back(OTPAuthEntry("Mail", "", testing::rfcSecret(), OTPParameters::standard())
                           .account(second, Date(1'700'000'000)));
    ASSERT_TRUE(environment.accountStore->save(accounts));
    for (int change = 0; change < 2; ++change) {
        model.accountsDidChange();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !model.debouncer().isPending(); }, 10000));
    }
    folder->letGo.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 2; }, 10000));
    EXPECT_FALSE(finished.wait(400)); // nothing more follows
    EXPECT_EQ(folder->writes, 2);
    EXPECT_FALSE(folder->overlapped);
    const auto latest =
        BackupCodec::open(**computer.environment.fileStore->readLatest(), testing::testKey());
    ASSERT_TRUE(latest.has_value());
    EXPECT_EQ(latest->accounts.size(), 2U);
}

TEST_F(BackupModelTest, anInboxCheckThatThrowsEndsAndTheNextCheckTakesTheInbox) {
    computer.setPassphrase();
    computer.put("inbox.zemlar", sealedFile({phoneAccount(5, "Phone")}));
    AppEnvironment environment = computer.environment;
    const auto folder = std::make_shared<HeldBackupFolder>(computer.environment.fileStore);
    folder->letGo.release();
    environment.fileStore = folder;
    BackupModel model(environment, shortDelay);
    int imported = 0;
    model.onInboxImported = [&] { ++imported; };
    QCoro::Task<> failing = model.checkInbox();
    ASSERT_TRUE(QTest::qWaitFor([&] { return failing.isReady(); }, 10000));
    EXPECT_FALSE(model.isCheckingInbox());
    EXPECT_EQ(imported, 0);
    QCoro::waitFor(model.checkInbox());
    EXPECT_EQ(imported, 1);
}

TEST_F(BackupModelTest, aSecondInboxCheckWhileOneRunsReturnsAtOnce) {
    computer.setPassphrase();
    computer.put("inbox.zemlar", sealedFile({phoneAccount(5, "Phone")}));
    const auto model = makeModel();
    int imported = 0;
    model->onInboxImported = [&] { ++imported; };
    QCoro::Task<> first = model->checkInbox();
    ASSERT_TRUE(model->isCheckingInbox());
    QCoro::Task<> second = model->checkInbox();
    EXPECT_TRUE(second.isReady());
    QCoro::waitFor(first);
    EXPECT_FALSE(model->isCheckingInbox());
    EXPECT_EQ(imported, 1);
    EXPECT_EQ(computer.environment.accountStore->load()->size(), 1U);
}

TEST_F(BackupModelTest, aBrokenInboxKeepsFailingUntilAGoodFileImports) {
    computer.setPassphrase();
    computer.put("inbox.zemlar", testing::rfcSecret()); // not a sealed file
    const auto model = makeModel();
    int imported = 0;
    model->onInboxImported = [&] { ++imported; };
    QCoro::waitFor(model->checkInbox());
    EXPECT_EQ(model->inboxProblem(), "The file from the phone is damaged");
    EXPECT_FALSE(storedHash());
    EXPECT_FALSE(model->hasPhone());

    const Bytes good = sealedFile({phoneAccount(5, "Phone")});
    computer.put("inbox.zemlar", good);
    QSignalSpy finished(model.get(), &BackupModel::automaticBackupFinished);
    QCoro::waitFor(model->checkInbox());
    EXPECT_FALSE(model->inboxProblem());
    EXPECT_EQ(storedHash(), QString::fromStdString(InboxImportFlow::sha256Hex(good)));
    ASSERT_TRUE(model->lastInboxImport());
    EXPECT_EQ(model->lastInboxImport()->count, 1);
    EXPECT_EQ(imported, 1);
    ASSERT_TRUE(finished.wait(5000)); // the new account is backed up
    EXPECT_TRUE(computer.hasBackup());

    const BackupModel restarted(computer.environment);
    EXPECT_TRUE(restarted.hasPhone());
    EXPECT_EQ(restarted.lastInboxImport(), model->lastInboxImport());
}

TEST_F(BackupModelTest, restoringReportsAMissingFileAndAWrongPassphrase) {
    const auto model = makeModel();
    QCoro::waitFor(model->restore(BackupModel::RestoreSource::iCloudDrive(), "whatever"));
    EXPECT_EQ(model->status(), BackupModel::Status::failure(Texts::text(
                                   "No backup in iCloud Drive, or iCloud Drive is turned off")));

    computer.put("backup.zemlar", sealedFile({phoneAccount(5, "Phone")}));
    QCoro::waitFor(model->restore(BackupModel::RestoreSource::iCloudDrive(), "wrong phrase"));
    EXPECT_EQ(model->status(), BackupModel::Status::failure(
                                   Texts::text("Wrong passphrase, or the file is damaged")));
    EXPECT_TRUE(model->offersRestore());
}

TEST_F(BackupModelTest, aBackupFileLargerThanAnyBackupOrEndlessIsRefusedUnread) {
    const auto model = makeModel();
    computer.put("backup.zemlar", {});
    const auto huge = computer.backupFolder() / "backup.zemlar";
    std::filesystem::resize_file(huge, 200 * 1024 * 1024); // sparse: no disk is used
    const auto tooLarge = BackupModel::Status::failure(Texts::text("The backup file is too large"));
    QCoro::waitFor(model->restore(BackupModel::RestoreSource::iCloudDrive(), "whatever"));
    EXPECT_EQ(model->status(), tooLarge);
    for (const std::filesystem::path& file : {huge, std::filesystem::path("/dev/zero")}) {
        QCoro::waitFor(model->restore(BackupModel::RestoreSource::file(file), "whatever"));
        EXPECT_EQ(model->status(), tooLarge) << file;
    }
}

TEST_F(BackupModelTest, aChangeWithoutAPassphraseIsSkippedAndSettingOneBacksUpEveryAccount) {
    computer.add(1, "GitHub");
    computer.add(2, "Mail");
    const auto model = makeModel();
    QSignalSpy finished(model.get(), &BackupModel::automaticBackupFinished);
    model->accountsDidChange();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_FALSE(computer.hasBackup());
    EXPECT_EQ(model->status(), BackupModel::Status::idle());

    QCoro::waitFor(model->setUp("a new passphrase"));
    EXPECT_EQ(model->status(),
              BackupModel::Status::success("Passphrase set, backup created (accounts: 2)"));
    EXPECT_TRUE(computer.hasBackup());
}

TEST(BackupViewHint, followsTheTwoFieldsAndWhetherAPassphraseIsSet) {
    const char* tooShort = "At least 6 characters. The passphrase is not stored anywhere: "
                           "without it the backup can't be opened.";
    const std::tuple<const char*, const char*, bool, const char*> cases[] = {
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

TEST_F(BackupViewTest, buttonsFollowThePassphraseAndRunningOperations) {
    view.passphraseField()->setText("abcdef");
    view.confirmationField()->setText("abcdef");
    computer.setPassphrase();
    QCoro::waitFor(model.refresh());
    EXPECT_TRUE(view.backUpNowButton()->isEnabled());

    QCoro::Task<> running = model.backUpNow();
    EXPECT_FALSE(view.setPassphraseButton()->isEnabled());
    EXPECT_FALSE(view.checkBackupButton()->isEnabled());
    QCoro::waitFor(running);
    EXPECT_TRUE(view.backUpNowButton()->isEnabled());
}

TEST_F(BackupViewTest, restoreIsAtHandWithAccountsPresentFromAnEarlierBackupOrAChosenFile) {
    computer.add(1, "GitHub");
    computer.put("backup.zemlar", testing::sealedFile({testing::phoneAccount(5, "Phone")}));
    computer.put(BackupRotation::archiveName(Date(1'700'000'000)),
                 testing::sealedFile(
                     {testing::phoneAccount(5, "Phone"), testing::phoneAccount(6, "Older")}));
    QCoro::waitFor(model.refresh());
    EXPECT_FALSE(view.restoreOffer()->isVisibleTo(&view)); // only without accounts
    EXPECT_FALSE(view.fromFileButton()->isEnabled());
    view.restorePassphraseField()->setText(QString::fromUtf8(testing::testPassphrase));
    view.chooseFile = [] { return QString(); }; // cancelled: nothing happens
    view.fromFileButton()->click();
    EXPECT_EQ(model.status(), BackupModel::Status::idle());

    ASSERT_EQ(view.versionChoice()->count(), 2); // the latest and the earlier one
    view.versionChoice()->setCurrentIndex(1);
    view.fromSyncFolderButton()->click();
    const auto statusIs = [this](const char* text) {
        return QTest::qWaitFor([&] { return view.statusText()->text() == text; }, 10000);
    };
    EXPECT_TRUE(statusIs("Restored: 2, already present: 0, failed: 0")); // the earlier one

    const auto file = computer.backupFolder() / "backup.zemlar";
    view.chooseFile = [&] { return QString::fromStdString(file.string()); };
    view.restorePassphraseField()->setText(QString::fromUtf8(testing::testPassphrase));
    view.fromFileButton()->click();
    EXPECT_TRUE(view.restorePassphraseField()->text().isEmpty());
    EXPECT_TRUE(statusIs("Restored: 0, already present: 1, failed: 0"));
}

TEST(BackupViewFolder, aNewFolderGetsTheBackupsWhenAskedAndEverythingFollowsTheChoice) {
    testing::BackupComputer computer;
    testing::userDefaults().setValue("backupDirectory",
                                     QString::fromStdString(computer.backupFolder().string()));
    computer.environment.fileStore = std::make_shared<ChosenBackupFolder>(5);
    const std::string archive = BackupRotation::archiveName(Date(1'700'000'000));
    computer.put("backup.zemlar", testing::sealedFile({testing::phoneAccount(5, "Phone")}));
    computer.put(archive, testing::sealedFile({}));
    BackupModel model{computer.environment};
    BackupView view{model};

    const std::filesystem::path synced = computer.root() / "Sync" / "Zemlar";
    view.chooseFolder = [&] { return QString::fromStdString(synced.string()); };
    int asked = 0;
    view.confirmCopy = [&] {
        ++asked;
        return std::optional(true);
    };
    view.changeFolderButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.status().kind() == Kind::success; }));
    EXPECT_TRUE(std::filesystem::exists(synced / "backup.zemlar"));
    EXPECT_TRUE(std::filesystem::exists(synced / archive));
    std::filesystem::remove(computer.backupFolder() / "backup.zemlar");
    QCoro::waitFor(model.refresh());
    EXPECT_TRUE(model.offersRestore()); // the backup now comes from the new folder
    EXPECT_EQ(asked, 1);
}

} // namespace
} // namespace zemlar
