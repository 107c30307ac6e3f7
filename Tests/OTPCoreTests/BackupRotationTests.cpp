// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/BackupRotation.hpp>
#include <cmath>
#include <gtest/gtest.h>

using namespace zemlar;

namespace {

TEST(BackupRotationArchiveName, UsesTheBasicISO8601FormInUTCClamped) {
    EXPECT_EQ(BackupRotation::archiveName(Date(1'740'821'400.0)), "backup-20250301T093000Z.zemlar");
    EXPECT_EQ(BackupRotation::archiveName(Date(-1.0)), "backup-19691231T235959Z.zemlar");
    // Moments it cannot write are clamped.
    EXPECT_EQ(BackupRotation::archiveName(Date(1e15)), "backup-99991231T235959Z.zemlar");
    EXPECT_EQ(BackupRotation::archiveName(Date(std::nan(""))), "backup-19700101T000000Z.zemlar");
}

constexpr Date afterAll{1'750'000'000}; // 2025-06-15, after every archive of the folder

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
    EXPECT_EQ(BackupRotation::namesToDelete(folder, 5, afterAll),
              (std::vector<std::string>{"backup-20250302T093000Z.zemlar",
                                        "backup-20250301T093000Z.zemlar"}));
    EXPECT_TRUE(BackupRotation::namesToDelete(folder, 7, afterAll).empty());
}

TEST(BackupRotationNamesToDelete, DeletesEveryArchiveWhenKeepingOneOrLess) {
    EXPECT_EQ(BackupRotation::namesToDelete(folder, 1, afterAll).size(), 6u);
    EXPECT_EQ(BackupRotation::namesToDelete(folder, 0, afterAll).size(), 6u);
}

TEST(BackupRotationNamesToDelete, CountsOnlyNamesItWritesForMomentsUpToNow) {
    // Planted in the shared folder: none of them may push a real archive out, or be deleted.
    const std::vector<std::string> names = {"backup-99991231T235959Z.zemlar",
                                            "backup-20250601T093000Z.zemlar",
                                            "backup-99999999T999999Z.zemlar",
                                            "backup-20251301T093000Z.zemlar",
                                            "backup-20250230T093000Z.zemlar",
                                            "backup-20250301t093000z.zemlar",
                                            "backup-20250301T093000Z.zemlar",
                                            "backup-20250302T093000Z.zemlar",
                                            "backup.zemlar"};
    const Date secondOfMarch{1'740'907'800}; // 2025-03-02T09:30:00Z
    EXPECT_EQ(BackupRotation::namesToDelete(names, 2, secondOfMarch),
              std::vector<std::string>{"backup-20250301T093000Z.zemlar"});
    EXPECT_EQ(BackupRotation::archiveDate("backup-20250302T093000Z.zemlar"), secondOfMarch);
    EXPECT_EQ(BackupRotation::archiveDate("backup-20250230T093000Z.zemlar"), std::nullopt);
}

} // namespace
