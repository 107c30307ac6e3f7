// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageTesting.hpp"
#include "SettingsTesting.hpp"
#include "StoreDoubles.hpp"

#include <OTPCore/BackupRotation.hpp>
#include <ZemlarKit/DirectoryBackupFileStore.hpp>
#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace zemlar::testing {
namespace {

namespace fs = std::filesystem;

constexpr Date firstOfMarch{1'740'821'400}; // 2025-03-01T09:30:00Z

using Read = Result<std::optional<Bytes>, BackupFileError>;

Read nothing() {
    return Read(std::optional<Bytes>(std::nullopt));
}

Read found(Bytes bytes) {
    return Read(std::optional<Bytes>(std::move(bytes)));
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class DirectoryBackupFileStoreTest : public ::testing::Test {
protected:
    fs::path folder() const { return scratch.path / "sync" / "Zemlar"; }
    DirectoryBackupFileStore store() const { return DirectoryBackupFileStore(folder(), 5); }
    void makeParent() const { fs::create_directories(scratch.path / "sync"); }

    ScratchFolder scratch;
};

TEST_F(DirectoryBackupFileStoreTest, theFirstWriteCreatesTheFolderAndNoArchive) {
    makeParent();
    auto files = store();
    EXPECT_EQ(files.readLatest(), nothing());
    ASSERT_TRUE(files.write(bytesOf("first"), firstOfMarch));
    EXPECT_EQ(namesIn(folder()), std::set<std::string>{"backup.zemlar"});
    EXPECT_EQ(files.readLatest(), found(bytesOf("first")));
}

TEST_F(DirectoryBackupFileStoreTest, aWriteArchivesThePreviousVersionUnderItsTime) {
    makeParent();
    auto files = store();
    ASSERT_TRUE(files.write(bytesOf("old"), Date(firstOfMarch.secondsSince1970() - 60)));
    ASSERT_TRUE(files.write(bytesOf("new"), firstOfMarch));
    EXPECT_EQ(namesIn(folder()),
              (std::set<std::string>{"backup.zemlar", "backup-20250301T093000Z.zemlar"}));
    EXPECT_EQ(readFile(folder() / "backup-20250301T093000Z.zemlar"), bytesOf("old"));
    EXPECT_EQ(files.readLatest(), found(bytesOf("new")));
}

TEST_F(DirectoryBackupFileStoreTest, sevenWritesLeaveTheLatestAndFourArchives) {
    makeParent();
    fs::create_directories(folder());
    std::ofstream(folder() / "inbox.zemlar") << "phone";
    std::ofstream(folder() / "notes.txt") << "mine";
    auto files = store();
    for (int write = 0; write < 7; ++write) {
        const Date at(firstOfMarch.secondsSince1970() + write);
        ASSERT_TRUE(files.write(bytesOf("v" + std::to_string(write)), at));
    }
    // The archives of versions 2 to 5, written at the seconds 3 to 6.
    EXPECT_EQ(namesIn(folder()),
              (std::set<std::string>{
                  "backup.zemlar", "inbox.zemlar", "notes.txt", "backup-20250301T093003Z.zemlar",
                  "backup-20250301T093004Z.zemlar", "backup-20250301T093005Z.zemlar",
                  "backup-20250301T093006Z.zemlar"}));
    EXPECT_EQ(readFile(folder() / "backup-20250301T093003Z.zemlar"), bytesOf("v2"));
    EXPECT_EQ(files.readLatest(), found(bytesOf("v6")));
}

TEST_F(DirectoryBackupFileStoreTest, twoWritesInOneSecondShareTheArchive) {
    makeParent();
    auto files = store();
    ASSERT_TRUE(files.write(bytesOf("a"), firstOfMarch));
    ASSERT_TRUE(files.write(bytesOf("b"), firstOfMarch));
    ASSERT_TRUE(files.write(bytesOf("c"), firstOfMarch));
    EXPECT_EQ(readFile(folder() / "backup-20250301T093000Z.zemlar"), bytesOf("b"));
    EXPECT_EQ(namesIn(folder()).size(), 2U);
}

TEST_F(DirectoryBackupFileStoreTest, aMissingParentIsAnUnavailableLocation) {
    auto files = store();
    EXPECT_EQ(files.write(bytesOf("x"), firstOfMarch),
              fail(BackupFileError::locationUnavailable()));
    EXPECT_FALSE(fs::exists(scratch.path / "sync"));
    EXPECT_EQ(files.readLatest(), nothing());
    EXPECT_EQ(files.readInbox(), nothing());
}

TEST_F(DirectoryBackupFileStoreTest, aFailedArchiveCopyKeepsThePreviousLatestFile) {
    makeParent();
    auto files = store();
    ASSERT_TRUE(files.write(bytesOf("previous"), Date(firstOfMarch.secondsSince1970() - 1)));
    // A folder that is not empty stands where the archive must go: it cannot be replaced.
    fs::create_directories(folder() / "backup-20250301T093000Z.zemlar" / "inside");
    EXPECT_EQ(files.write(bytesOf("next"), firstOfMarch), fail(BackupFileError::writeFailed()));
    EXPECT_EQ(files.readLatest(), found(bytesOf("previous")));
}

TEST_F(DirectoryBackupFileStoreTest, unreadableFilesAreReadFailures) {
    makeParent();
    fs::create_directories(folder() / "backup.zemlar");
    fs::create_directories(folder() / "inbox.zemlar");
    auto files = store();
    EXPECT_EQ(files.readLatest(), fail(BackupFileError::readFailed()));
    EXPECT_EQ(files.readInbox(), fail(BackupFileError::readFailed()));
}

TEST_F(DirectoryBackupFileStoreTest, readsTheInboxWithoutChangingIt) {
    makeParent();
    fs::create_directories(folder());
    std::ofstream(folder() / "inbox.zemlar") << "from the phone";
    auto files = store();
    EXPECT_EQ(files.readInbox(), found(bytesOf("from the phone")));
    ASSERT_TRUE(files.write(bytesOf("b"), firstOfMarch));
    EXPECT_EQ(readFile(folder() / "inbox.zemlar"), bytesOf("from the phone"));
}

TEST(BackupFileStore, hasNoInboxUnlessItSaysSo) {
    struct LatestOnly : BackupFileStore {
        Result<std::optional<Bytes>, BackupFileError> readLatest() override { return std::nullopt; }
        Result<void, BackupFileError> write(const Bytes&, Date) override { return {}; }
    } store;
    EXPECT_EQ(store.readInbox(), nothing());
}

TEST(DirectoryBackupFileStoreLocation, isTheSyncedFolderUnlessTheUserChoseAnother) {
    const ScratchSettings scratch;
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    const fs::path expected =
        fs::path(home) / "Library" / "Mobile Documents" / "com~apple~CloudDocs" / "Zemlar";
    EXPECT_EQ(DirectoryBackupFileStore::iCloudDriveDirectory(), expected);
    EXPECT_EQ(DirectoryBackupFileStore::configuredDirectory(), expected);
    ScratchSettings::settings().setValue("backupDirectory", "/srv/sync/zemlar");
    EXPECT_EQ(DirectoryBackupFileStore::configuredDirectory(), fs::path("/srv/sync/zemlar"));
    ScratchSettings::settings().setValue("backupDirectory", "");
    EXPECT_EQ(DirectoryBackupFileStore::configuredDirectory(), expected);
}

} // namespace
} // namespace zemlar::testing
