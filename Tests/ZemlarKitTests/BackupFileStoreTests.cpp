// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageTesting.hpp"
#include "StoreDoubles.hpp"

#include <ZemlarKit/DirectoryBackupFileStore.hpp>
#include <gtest/gtest.h>
#include <set>

namespace zemlar::testing {
namespace {

namespace fs = std::filesystem;

using Read = Result<std::optional<Bytes>, BackupFileError>;
const Read nothing{std::optional<Bytes>(std::nullopt)};
Read found(std::string_view text) {
    return Read(std::optional<Bytes>(bytesOf(text)));
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

/// A moment on 2025-03-01 from 09:30:00Z on.
Date at(int second) {
    return Date(1'740'821'400 + second);
}

/// The store in scratch/sync/Zemlar; the parent folder exists unless a test removes it.
class DirectoryBackupFileStoreTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(scratch.path / "sync"); }
    fs::path folder() const { return scratch.path / "sync" / "Zemlar"; }

    ScratchFolder scratch;
    DirectoryBackupFileStore files{scratch.path / "sync" / "Zemlar", 5};
};

TEST_F(DirectoryBackupFileStoreTest, writesArchiveTheLatestUnderItsTimeAndKeepFourArchives) {
    ASSERT_TRUE(files.write(bytesOf("first"), at(-60)));
    EXPECT_EQ(namesIn(folder()), std::set<std::string>{"backup.zemlar"});
    fs::permissions(folder() / "backup.zemlar", fs::perms::others_read, fs::perm_options::add);
    std::ofstream(folder() / "inbox.zemlar") << "from the phone";
    std::ofstream(folder() / "backup-99991231T235959Z.zemlar") << "someone else's";
    EXPECT_EQ(files.readInbox(), found("from the phone"));
    ASSERT_TRUE(files.write(bytesOf("v0"), at(0)));
    EXPECT_EQ(readFile(folder() / "backup-20250301T093000Z.zemlar"), bytesOf("first"));
    EXPECT_EQ(fs::status(folder() / "backup-20250301T093000Z.zemlar").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(files.write(bytesOf("same second"), at(0))); // shares that archive
    EXPECT_EQ(readFile(folder() / "backup-20250301T093000Z.zemlar"), bytesOf("v0"));
    for (int write = 1; write < 7; ++write) {
        ASSERT_TRUE(files.write(bytesOf("v" + std::to_string(write)), at(write)));
    }
    // The archives of versions 2 to 5, written at the seconds 3 to 6.
    const std::set<std::string> expected = {"backup.zemlar",
                                            "inbox.zemlar",
                                            "backup-20250301T093003Z.zemlar",
                                            "backup-20250301T093004Z.zemlar",
                                            "backup-20250301T093005Z.zemlar",
                                            "backup-20250301T093006Z.zemlar",
                                            "backup-99991231T235959Z.zemlar"};
    EXPECT_EQ(namesIn(folder()), expected);
    EXPECT_EQ(readFile(folder() / "backup-20250301T093003Z.zemlar"), bytesOf("v2"));
    EXPECT_EQ(files.readLatest(), found("v6"));
}

TEST_F(DirectoryBackupFileStoreTest, aMissingParentIsAnUnavailableLocation) {
    fs::remove(scratch.path / "sync");
    EXPECT_EQ(files.write(bytesOf("x"), at(0)), fail(BackupFileError::locationUnavailable()));
    EXPECT_FALSE(fs::exists(scratch.path / "sync"));
    EXPECT_EQ(files.readLatest(), nothing);
    EXPECT_EQ(files.readInbox(), nothing);
}

TEST_F(DirectoryBackupFileStoreTest, aFailedArchiveCopyKeepsThePreviousLatestFile) {
    ASSERT_TRUE(files.write(bytesOf("previous"), at(-1)));
    // A folder that is not empty stands where the archive must go: it cannot be replaced.
    fs::create_directories(folder() / "backup-20250301T093000Z.zemlar" / "inside");
    EXPECT_EQ(files.write(bytesOf("next"), at(0)), fail(BackupFileError::writeFailed()));
    EXPECT_EQ(files.readLatest(), found("previous"));
}

TEST_F(DirectoryBackupFileStoreTest, readsNeitherLinksNorOtherThanRegularFilesNorHugeOnes) {
    fs::create_directories(folder() / "backup.zemlar");
    EXPECT_EQ(files.readLatest(), fail(BackupFileError::readFailed()));
    fs::create_symlink("/dev/zero", folder() / "inbox.zemlar");
    EXPECT_EQ(files.readInbox(), fail(BackupFileError::readFailed()));

    fs::remove(folder() / "backup.zemlar");
    fs::remove(folder() / "inbox.zemlar");
    for (const char* name : {"backup.zemlar", "inbox.zemlar"}) {
        std::ofstream(folder() / name).close();
        fs::resize_file(folder() / name, 200 * 1024 * 1024); // sparse: no disk is used
    }
    EXPECT_EQ(files.readLatest(), fail(BackupFileError::tooLarge()));
    EXPECT_EQ(files.readInbox(), fail(BackupFileError::tooLarge()));
}

TEST_F(DirectoryBackupFileStoreTest, aPlantedLinkAsTheLatestBackupIsReplacedAndNeverCopied) {
    const fs::path privateFile = scratch.path / "id_ed25519";
    std::ofstream(privateFile) << "PRIVATE KEY";
    fs::create_directories(folder());
    fs::create_symlink(privateFile, folder() / "backup.zemlar");
    EXPECT_EQ(files.readLatest(), fail(BackupFileError::readFailed()));

    ASSERT_TRUE(files.write(bytesOf("backup"), at(0)));
    EXPECT_EQ(namesIn(folder()), std::set<std::string>{"backup.zemlar"});
    EXPECT_EQ(files.readLatest(), found("backup"));
    EXPECT_EQ(readFile(privateFile), bytesOf("PRIVATE KEY"));
}

} // namespace
} // namespace zemlar::testing
