// SPDX-License-Identifier: GPL-3.0-or-later
#include "BackupModel.hpp"
#include "BackupTesting.hpp"
#include "BackupView.hpp"
#include "DisplayDate.hpp"

#include <OTPCore/BackupRotation.hpp>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <TestSupport/ScopedEnvironment.hpp>
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

// The texts the restore and inbox tests below do not reach, one per branch that picks a text.
TEST(BackupModelTexts, eachErrorKindPicksItsText) {
    const auto corrupted = AccountStoreError::corrupted(AccountsCodecError::malformed());
    EXPECT_EQ(BackupModel::message(BackupFlowError::accounts(corrupted)),
              "The account list file is corrupted");
    EXPECT_EQ(BackupModel::message(BackupFlowError::accounts(AccountStoreError::readFailed())),
              "Couldn't read or save the account list");
    EXPECT_EQ(BackupModel::message(BackupFlowError::codec(BackupError::unsupportedVersion(2))),
              "The backup was made by a newer version of Zemlar");
    EXPECT_EQ(BackupModel::message(BackupFlowError::codec(BackupError::malformed())),
              Texts::text("The file is not an Zemlar backup"));
    EXPECT_EQ(BackupModel::message(InboxImportError::staleKey()),
              "The phone still uses the old passphrase. Enter the new one in Zemlar Mobile.");
}

TEST(BackupModelTexts, aCompleteCheckIsASuccessAndAnIncompleteOneListsWhatDiffers) {
    BackupCheckReport report{
        .exportedAt = Date(1'750'000'000), .accountsInBackup = 3, .missing = {}, .mismatched = {}};
    EXPECT_EQ(BackupModel::status(report).kind(), Kind::success);
    EXPECT_FALSE(BackupModel::status(report).text().contains("deleted"));
    report.extra = 1;
    EXPECT_TRUE(BackupModel::status(report).text().endsWith("deleted since then: 1."));
    report.mismatched = {"Shop"};
    const auto incomplete = BackupModel::status(report);
    EXPECT_EQ(incomplete.kind(), Kind::failure);
    EXPECT_TRUE(incomplete.text().contains("\nDifferent code in the backup: Shop\n"));
    EXPECT_FALSE(incomplete.text().contains("Not in the backup"));
}

TEST_F(BackupModelTest, aBurstOfChangesWritesOneBackupADelayAfterTheLastOnceConfigured) {
    computer.add(1, "GitHub");
    const auto model = makeModel();
    QSignalSpy finished(model.get(), &BackupModel::automaticBackupFinished);
    model->accountsDidChange(); // without a passphrase: skipped quietly
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_TRUE(computer.backupFiles().empty());

    computer.setPassphrase();
    finished.clear();
    for (int change = 0; change < 3; ++change) {
        model->accountsDidChange();
        QTest::qWait(20);
    }
    EXPECT_TRUE(computer.backupFiles().empty());
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_FALSE(finished.wait(400)); // nothing more follows
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(computer.backupFiles(), std::vector<std::string>{"backup.zemlar"});
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
    for (int check = 0; check < 2; ++check) {
        QCoro::waitFor(model->checkInbox());
        EXPECT_EQ(model->inboxProblem(), "The file from the phone is damaged");
        EXPECT_FALSE(storedHash());
        EXPECT_FALSE(model->hasPhone());
    }

    const Bytes good = sealedFile({phoneAccount(5, "Phone")});
    computer.put("inbox.zemlar", good);
    QSignalSpy finished(model.get(), &BackupModel::automaticBackupFinished);
    QCoro::waitFor(model->checkInbox());
    EXPECT_FALSE(model->inboxProblem());
    EXPECT_EQ(storedHash(), QString::fromStdString(InboxImportFlow::sha256Hex(good)));
    EXPECT_TRUE(model->hasPhone());
    ASSERT_TRUE(model->lastInboxImport());
    EXPECT_EQ(model->lastInboxImport()->count, 1);
    EXPECT_EQ(imported, 1);
    ASSERT_TRUE(finished.wait(5000)); // the new account is backed up
    EXPECT_EQ(computer.backupFiles(), std::vector<std::string>{"backup.zemlar"});

    const BackupModel restarted(computer.environment);
    EXPECT_TRUE(restarted.hasPhone());
    EXPECT_EQ(restarted.lastInboxImport(), model->lastInboxImport());
}

TEST_F(BackupModelTest, anImportThatAddsNothingStillRemembersTheFile) {
    const BackupModel::InboxImport earlier{.count = 3, .date = Date(1'700'000'000)};
    testing::userDefaults().setValue(BackupModel::inboxLastImportCountKey, 3);
    testing::userDefaults().setValue(BackupModel::inboxLastImportDateKey,
                                     QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC));
    computer.setPassphrase();
    computer.add(5, "Phone");
    const Bytes inbox = sealedFile({phoneAccount(5, "Phone")}); // already here
    computer.put("inbox.zemlar", inbox);
    const auto model = makeModel();
    EXPECT_EQ(model->lastInboxImport(), earlier);
    EXPECT_FALSE(model->hasPhone());
    int imported = 0;
    model->onInboxImported = [&] { ++imported; };

    QCoro::waitFor(model->checkInbox());
    EXPECT_EQ(storedHash(), QString::fromStdString(InboxImportFlow::sha256Hex(inbox)));
    EXPECT_TRUE(model->hasPhone());
    EXPECT_EQ(model->lastInboxImport(), earlier);
    EXPECT_EQ(imported, 0);
    EXPECT_FALSE(model->debouncer().isPending());
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

    QCoro::waitFor(model->restore(BackupModel::RestoreSource::iCloudDrive(),
                                  QString::fromUtf8(testing::testPassphrase)));
    EXPECT_EQ(model->status(),
              BackupModel::Status::success("Restored: 1, already present: 0, failed: 0"));
    EXPECT_TRUE(model->isConfigured()); // the file's passphrase is now this computer's
    EXPECT_FALSE(model->offersRestore());
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

TEST_F(BackupModelTest, settingThePassphraseWritesABackupOfEveryAccount) {
    computer.add(1, "GitHub");
    computer.add(2, "Mail");
    const auto model = makeModel();
    QCoro::waitFor(model->setUp("a new passphrase"));
    EXPECT_EQ(model->status(),
              BackupModel::Status::success("Passphrase set, backup created (accounts: 2)"));
    EXPECT_EQ(computer.backupFiles(), std::vector<std::string>{"backup.zemlar"});
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
    EXPECT_FALSE(view.backUpNowButton()->isEnabled());
    view.passphraseField()->setText("abcdef");
    view.confirmationField()->setText("abcdef");
    computer.setPassphrase();
    QCoro::waitFor(model.refresh());
    EXPECT_TRUE(view.backUpNowButton()->isEnabled());

    QCoro::Task<> running = model.backUpNow();
    EXPECT_FALSE(view.setPassphraseButton()->isEnabled());
    EXPECT_FALSE(view.backUpNowButton()->isEnabled());
    EXPECT_FALSE(view.checkBackupButton()->isEnabled());
    QCoro::waitFor(running);
    EXPECT_TRUE(view.backUpNowButton()->isEnabled());
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return !model.offersRestore(); }, 10000));
}

TEST_F(BackupViewTest, restoreIsAtHandWithAccountsPresentAndFromAnEarlierBackupToo) {
    computer.add(1, "GitHub");
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
    EXPECT_EQ(view.statusText()->text(), "Restored: 2, already present: 0, failed: 0"); // earlier
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

    view.confirmCopy = [&] {
        ++asked;
        return std::optional(true);
    };
    view.changeFolderButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.status().kind() == Kind::success; }));
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
