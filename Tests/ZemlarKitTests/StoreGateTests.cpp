// SPDX-License-Identifier: GPL-3.0-or-later
#include "WriterStorm.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zemlar::testing {
namespace {

TEST(StoreGate, FiveWritersAtOnceLoseNoAccountAndBringNoDeletedOneBack) {
    Computer computer;
    StormLedger ledger;
    storm(computer, 6, ledger);
    ledger.expectKeptBy(computer);
}

// Another process opens the lock file on its own; an flock there is what it would meet.
TEST(StoreGate, WhileHeldTheLockFileKeepsOtherProcessesOut) {
    const ScratchFolder scratch;
    const std::filesystem::path lockFile = scratch.path / "data" / "Zemlar" / ".lock";
    StoreGate::lockAcrossProcesses(lockFile);
    int other = -1;
    {
        const StoreGate::Hold hold;
        const StoreGate::Hold nested;
        other = ::open(lockFile.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(other, 0);
        EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
    }
    EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(other);
    struct stat folder {};
    struct stat file {};
    ASSERT_EQ(::stat(lockFile.parent_path().c_str(), &folder), 0);
    ASSERT_EQ(::stat(lockFile.c_str(), &file), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    StoreGate::lockAcrossProcesses({});
}

} // namespace
} // namespace zemlar::testing
