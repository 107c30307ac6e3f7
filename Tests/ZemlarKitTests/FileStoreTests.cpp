// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreDoubles.hpp"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zemlar;
using namespace zemlar::testing;
namespace fs = std::filesystem;

namespace {

mode_t modeOf(const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

Account account(std::uint8_t number, std::string issuer = "Issuer") {
    return OTPAuthEntry(std::move(issuer), "name", Bytes{}, OTPParameters::standard())
        .account(uuidNumber(number), Date(1700000000.0));
}

} // namespace

TEST(FileStores, LoadEmptyListsUntilTheFirstSaveCreatesAPrivateFolderAndFile) {
    ScratchFolder scratch;
    const auto folder = scratch.path / "deep" / "Zemlar";
    FileAccountStore accounts(folder / "accounts.json");
    EXPECT_EQ(accounts.load().value(), Accounts{});
    EXPECT_FALSE(fs::exists(scratch.path / "deep"));
    ASSERT_TRUE(accounts.save({account(1)}).has_value());
    EXPECT_EQ(modeOf(scratch.path / "deep"), 0700u);
    EXPECT_EQ(modeOf(folder / "accounts.json"), 0600u);
    EXPECT_EQ(accounts.load().value(), Accounts{account(1)});
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1)
        << "no temporary file is left behind";
}

TEST(FileStores, ReportReadAndWriteFailures) {
    ScratchFolder scratch;
    const auto file = scratch.path / "file";
    std::ofstream(file) << "a file";
    fs::create_directory(scratch.path / "accounts.json");
    EXPECT_EQ(FileAccountStore(scratch.path / "accounts.json").load().error(),
              AccountStoreError::readFailed());
    EXPECT_EQ(FileAccountStore(scratch.path / "accounts.json").save({}).error(),
              AccountStoreError::writeFailed());
    EXPECT_EQ(FileAccountStore(file / "accounts.json").save({}).error(),
              AccountStoreError::writeFailed())
        << "a file where the folder must be";
    EXPECT_EQ(FileAccountStore(scratch.path / "other.json").save({account(1, "\xFF\xFE")}).error(),
              AccountStoreError::writeFailed());
    EXPECT_FALSE(fs::exists(scratch.path / "other.json"));
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path), {}), 2)
        << "a failed write leaves no temporary file behind";
}

TEST(FileStores, AKilledWriterLeavesAWholeOldOrNewFileThatOnlyTheUserCanRead) {
    ScratchFolder scratch;
    const auto folder = scratch.path / "Zemlar";
    const auto file = folder / "accounts.json";
    ASSERT_TRUE(FileAccountStore(file).save({account(0)}).has_value());

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FileAccountStore store(file);
        Accounts list;
        for (std::uint8_t round = 1;; ++round) {
            list.push_back(account(round, std::string(2000, 'x')));
            if (list.size() > 40) {
                list.erase(list.begin());
            }
            (void)store.save(list);
        }
    }
    int otherFilesSeen = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int checks = 0;
         (checks < 100 || otherFilesSeen < 3) && std::chrono::steady_clock::now() < deadline;
         ++checks) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            const mode_t mode = modeOf(entry.path());
            EXPECT_TRUE(mode == 0 || mode == 0600u) << entry.path(); // 0: already renamed
            otherFilesSeen += entry.path() != file ? 1 : 0;
        }
        const auto loaded = FileAccountStore(file).load();
        ASSERT_TRUE(loaded.has_value()) << loaded.error().describe();
        EXPECT_FALSE(loaded->empty());
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    const auto survived = FileAccountStore(file).load();
    ASSERT_TRUE(survived.has_value()) << survived.error().describe();
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_GT(otherFilesSeen, 0) << "the temporary files were looked at while being written";
}
