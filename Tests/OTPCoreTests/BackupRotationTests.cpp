// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/BackupRotation.hpp>
#include <cmath>
#include <gtest/gtest.h>

using namespace zemlar;

namespace {

TEST(BackupRotationArchiveName, UsesTheBasicISO8601FormInUTC) {
    EXPECT_EQ(BackupRotation::archiveName(Date(1'740'821'400.0)), "backup-20250301T093000Z.zemlar");
    EXPECT_EQ(BackupRotation::archiveName(Date(1'740'821'400.9)), "backup-20250301T093000Z.zemlar");
    EXPECT_EQ(BackupRotation::archiveName(Date(0.0)), "backup-19700101T000000Z.zemlar");
    EXPECT_EQ(BackupRotation::archiveName(Date(-1.0)), "backup-19691231T235959Z.zemlar");
}

TEST(BackupRotationArchiveName, ClampsMomentsItCannotWrite) {
    EXPECT_EQ(BackupRotation::archiveName(Date(1e15)), "backup-99991231T235959Z.zemlar");
    EXPECT_EQ(BackupRotation::archiveName(Date(-1e15)), "backup-00010101T000000Z.zemlar");
    EXPECT_EQ(BackupRotation::archiveName(Date(INFINITY)), "backup-99991231T235959Z.zemlar");
    EXPECT_EQ(BackupRotation::archiveName(Date(std::nan(""))), "backup-19700101T000000Z.zemlar");
}

TEST(BackupRotationArchiveName, SortsInTimeOrder) {
    std::string previous;
    for (double seconds = 0; seconds < 4e9; seconds += 12'345'678.9) {
        const std::string name = BackupRotation::archiveName(Date(seconds));
        EXPECT_LT(previous, name);
        previous = name;
    }
}

const std::vector<std::string> folder = {
    "backup.zemlar",
    "backup-20250301T093000Z.zemlar",
    "inbox.zemlar",
    "backup-20250303T093000Z.zemlar",
    "notes.txt",
    "backup-20250302T093000Z.zemlar",
    "backup-20250306T093000Z.zemlar",
    "backup-20250304T093000Z.zemlar",
    "backup-20250305T093000Z.zemlar",
};

TEST(BackupRotationNamesToDelete, KeepsTheNewestArchives) {
    EXPECT_EQ(BackupRotation::namesToDelete(folder, 5),
              (std::vector<std::string>{"backup-20250302T093000Z.zemlar",
                                        "backup-20250301T093000Z.zemlar"}));
    EXPECT_EQ(BackupRotation::namesToDelete(folder, 6),
              std::vector<std::string>{"backup-20250301T093000Z.zemlar"});
    EXPECT_TRUE(BackupRotation::namesToDelete(folder, 7).empty());
    EXPECT_TRUE(BackupRotation::namesToDelete(folder, 100).empty());
}

TEST(BackupRotationNamesToDelete, DeletesEveryArchiveWhenKeepingOneOrLess) {
    const std::vector<std::string> all = {
        "backup-20250306T093000Z.zemlar", "backup-20250305T093000Z.zemlar",
        "backup-20250304T093000Z.zemlar", "backup-20250303T093000Z.zemlar",
        "backup-20250302T093000Z.zemlar", "backup-20250301T093000Z.zemlar"};
    EXPECT_EQ(BackupRotation::namesToDelete(folder, 1), all);
    EXPECT_EQ(BackupRotation::namesToDelete(folder, 0), all);
    EXPECT_EQ(BackupRotation::namesToDelete(folder, -4), all);
}

TEST(BackupRotationNamesToDelete, TreatsAnyBackupDashNameAsAnArchive) {
    const std::vector<std::string> names = {
        "backup-zzz.zemlar",   "backup-.zemlar",  "backup-20250301T093000Z.zemlar",
        "backup-x.zemlar.tmp", "Backup-1.zemlar", "backup-.zemla",
        "backup.zemlar"};
    EXPECT_EQ(BackupRotation::namesToDelete(names, 2),
              (std::vector<std::string>{"backup-20250301T093000Z.zemlar", "backup-.zemlar"}));
    EXPECT_TRUE(BackupRotation::namesToDelete({}, 5).empty());
}

} // namespace
