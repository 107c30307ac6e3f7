// SPDX-License-Identifier: GPL-3.0-or-later
#include "BackupModel.hpp"
#include "BackupTesting.hpp"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>
#include <ZemlarScreens/Texts.hpp>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>
#include <semaphore>
#include <stdexcept>

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

/// Processes events until the condition holds; false when it still does not after ten seconds.
bool eventsUntil(const std::function<bool()>& condition) {
    const QDeadlineTimer deadline(10'000);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

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

TEST(BackupModelTexts, everyBackupFlowErrorHasItsText) {
    const auto corrupted = AccountStoreError::corrupted(AccountsCodecError::malformed());
    const std::vector<std::pair<BackupFlowError, const char*>> table{
        {BackupFlowError::accounts(corrupted), "The account list file is corrupted"},
        {BackupFlowError::accounts(AccountStoreError::readFailed()),
         "Couldn't read or save the account list"},
        {BackupFlowError::accounts(AccountStoreError::writeFailed()),
         "Couldn't read or save the account list"},
        {BackupFlowError::secrets(SecretStoreError::notFound()), "Keychain access error"},
        {BackupFlowError::keyStore(SecretStoreError::keychain(-1)), "Keychain access error"},
        {BackupFlowError::file(BackupFileError::locationUnavailable()),
         "No backup in iCloud Drive, or iCloud Drive is turned off"},
        {BackupFlowError::file(BackupFileError::readFailed()), "Couldn't read the backup file"},
        {BackupFlowError::file(BackupFileError::writeFailed()), "Couldn't write the backup file"},
        {BackupFlowError::file(BackupFileError::tooLarge()), "The backup file is too large"},
        {BackupFlowError::codec(BackupError::unsupportedVersion(2)),
         "The backup was made by a newer version of Zemlar"},
        {BackupFlowError::codec(BackupError::authenticationFailed()),
         "Wrong passphrase, or the file is damaged"},
        {BackupFlowError::codec(BackupError::malformed()), "The file is not an Zemlar backup"},
        {BackupFlowError::codec(BackupError::unsupportedKDF()), "The file is not an Zemlar backup"},
        {BackupFlowError::notConfigured(), "Set a passphrase first"},
        {BackupFlowError::keyDerivationFailed(), "Couldn't derive a key from the passphrase"},
        {BackupFlowError::noBackup(), "There is no backup yet"},
    };
    for (const auto& [error, key] : table) {
        EXPECT_EQ(BackupModel::message(error), Texts::text(key)) << error.describe();
    }
    // The keys that name macOS things read in Linux terms.
    EXPECT_EQ(BackupModel::message(BackupFlowError::file(BackupFileError::locationUnavailable())),
              "No backup in the sync folder, or the sync folder is not there");
    EXPECT_EQ(BackupModel::message(BackupFlowError::secrets(SecretStoreError::notFound())),
              "Keyring access error");
}

TEST(BackupModelTexts, everyInboxErrorHasItsText) {
    const std::vector<std::pair<InboxImportError, const char*>> table{
        {InboxImportError::codec(BackupError::malformed()), "The file from the iPhone is damaged"},
        {InboxImportError::codec(BackupError::authenticationFailed()),
         "The file from the iPhone is damaged"},
        {InboxImportError::accounts(AccountStoreError::readFailed()),
         "Couldn't read or save the account list"},
        {InboxImportError::secrets(SecretStoreError::keychain(-1)), "Keychain access error"},
        {InboxImportError::keyStore(SecretStoreError::invalidData()), "Keychain access error"},
        {InboxImportError::notConfigured(), "Set a passphrase first"},
        {InboxImportError::staleKey(),
         "The iPhone still uses the old passphrase. Enter the new one in Zemlar Mobile."},
    };
    for (const auto& [error, key] : table) {
        EXPECT_EQ(BackupModel::message(error), Texts::text(key)) << error.describe();
    }
    EXPECT_EQ(BackupModel::message(InboxImportError::staleKey()),
              "The phone still uses the old passphrase. Enter the new one in Zemlar Mobile.");
}

TEST(BackupModelTexts, aCompleteCheckIsASuccessAndAnIncompleteOneListsWhatDiffers) {
    BackupCheckReport report{
        .exportedAt = Date(1'750'000'000), .accountsInBackup = 3, .missing = {}, .mismatched = {}};
    const auto fine = BackupModel::status(report);
    EXPECT_EQ(fine.kind(), Kind::success);
    EXPECT_TRUE(fine.text().startsWith(
        "The backup is fine: all 3 accounts can be restored with the same codes. Made "));
    EXPECT_FALSE(fine.text().contains("deleted"));
    report.extra = 2;
    EXPECT_TRUE(BackupModel::status(report).text().endsWith(
        ". It also has accounts deleted since then: 2."));

    report.missing = {"GitHub · ann", "Mail"};
    report.mismatched = {"Shop"};
    const auto incomplete = BackupModel::status(report);
    EXPECT_EQ(incomplete.kind(), Kind::failure);
    const QStringList lines = incomplete.text().split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("The backup from ") && lines[0].endsWith(" is incomplete."));
    EXPECT_EQ(lines[1], "Not in the backup: GitHub · ann, Mail");
    EXPECT_EQ(lines[2], "Different code in the backup: Shop");
    EXPECT_EQ(lines[3], "Use Back Up Now to write a fresh one.");
}

TEST_F(BackupModelTest, aBurstOfChangesWritesOneBackupADelayAfterTheLastOnceConfigured) {
    computer.add(1, "GitHub");
    const auto model = makeModel();
    QSignalSpy finished(model.get(), &BackupModel::automaticBackupFinished);
    model->accountsDidChange(); // without a passphrase: skipped quietly
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_TRUE(computer.backupFiles().empty());
    EXPECT_EQ(model->status(), BackupModel::Status::idle());

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
    EXPECT_EQ(model->status(), BackupModel::Status::idle());
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
    ASSERT_TRUE(eventsUntil([&] { return folder->writes == 1; }));
    // Straight into the stores: the running export holds the gate the flows wait for.
    const auto second = testing::uuid(2);
    ASSERT_TRUE(environment.secretStore->add(testing::rfcSecret(), second));
    auto accounts = environment.accountStore->load().value();
    accounts.push_back(OTPAuthEntry("Mail", "", testing::rfcSecret(), OTPParameters::standard())
                           .account(second, Date(1'700'000'000)));
    ASSERT_TRUE(environment.accountStore->save(accounts));
    for (int change = 0; change < 2; ++change) {
        model.accountsDidChange();
        ASSERT_TRUE(eventsUntil([&] { return !model.debouncer().isPending(); }));
    }
    folder->letGo.release();
    ASSERT_TRUE(eventsUntil([&] { return finished.count() == 2; }));
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
    ASSERT_TRUE(eventsUntil([&] { return failing.isReady(); }));
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

TEST_F(BackupModelTest, restoringReportsAMissingOrEndlessFileAndAWrongPassphrase) {
    const auto model = makeModel();
    QCoro::waitFor(model->restore(BackupModel::RestoreSource::iCloudDrive(), "whatever"));
    EXPECT_EQ(model->status(), BackupModel::Status::failure(Texts::text(
                                   "No backup in iCloud Drive, or iCloud Drive is turned off")));
    QCoro::waitFor(model->restore(BackupModel::RestoreSource::file("/dev/zero"), "whatever"));
    EXPECT_EQ(model->status(), BackupModel::Status::failure(Texts::text("The backup file is too large")));

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

TEST_F(BackupModelTest, aBackupFileLargerThanAnyBackupIsRefusedUnread) {
    const auto model = makeModel();
    computer.put("backup.zemlar", {});
    const auto huge = computer.backupFolder() / "backup.zemlar";
    std::filesystem::resize_file(huge, 200 * 1024 * 1024); // sparse: no disk is used
    const auto tooLarge = BackupModel::Status::failure(Texts::text("The backup file is too large"));
    QCoro::waitFor(model->restore(BackupModel::RestoreSource::iCloudDrive(), "whatever"));
    EXPECT_EQ(model->status(), tooLarge);
    QCoro::waitFor(model->restore(BackupModel::RestoreSource::file(huge), "whatever"));
    EXPECT_EQ(model->status(), tooLarge);
}

TEST_F(BackupModelTest, settingThePassphraseWritesABackupOfEveryAccount) {
    computer.add(1, "GitHub");
    computer.add(2, "Mail");
    const auto model = makeModel();
    QCoro::waitFor(model->setUp("a new passphrase"));
    EXPECT_EQ(model->status(),
              BackupModel::Status::success("Passphrase set, backup created (accounts: 2)"));
    EXPECT_TRUE(model->isConfigured());
    EXPECT_EQ(computer.backupFiles(), std::vector<std::string>{"backup.zemlar"});

    QCoro::waitFor(model->verify());
    EXPECT_EQ(model->status().kind(), Kind::success);
}

} // namespace
} // namespace zemlar
