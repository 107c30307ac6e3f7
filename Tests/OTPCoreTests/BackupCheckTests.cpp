// SPDX-License-Identifier: GPL-3.0-or-later
#include "BackupTestSupport.hpp"

#include <OTPCore/BackupCheck.hpp>
#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::BackupTesting;

namespace {

const Date exported(1'740'907'800.0);

struct Fixture {
    std::vector<Account> local = {account(1, "Example", "alice"), account(2, "Bank", ""),
                                  account(3, "", "carol")};
    std::unordered_map<UUID, Bytes> secrets = {
        {id(1), Bytes{1, 1}}, {id(2), Bytes{2, 2}}, {id(3), Bytes{3, 3}}};
    std::vector<BackupAccount> backup = {backupAccount(1, "Example", "alice", Bytes{1, 1}),
                                         backupAccount(2, "Bank", "", Bytes{2, 2}),
                                         backupAccount(3, "", "carol", Bytes{3, 3})};

    BackupCheckReport report() const {
        return BackupCheck::compare(BackupPayload::make(exported, backup, {}), local, secrets);
    }
};

TEST(BackupCheck, FindsAFaithfulBackupComplete) {
    const BackupCheckReport report = Fixture().report();
    EXPECT_EQ(report, (BackupCheckReport{.exportedAt = exported,
                                         .accountsInBackup = 3,
                                         .missing = {},
                                         .mismatched = {},
                                         .extra = 0}));
    EXPECT_TRUE(report.isComplete());
}

TEST(BackupCheck, ListsLocalAccountsTheBackupLacks) {
    Fixture fixture;
    fixture.backup.erase(fixture.backup.begin() + 1);
    fixture.local.push_back(account(4, "Shop", "dave"));
    const BackupCheckReport report = fixture.report();
    EXPECT_EQ(report.missing, (std::vector<std::string>{"Bank", "Shop \xC2\xB7 dave"}));
    EXPECT_TRUE(report.mismatched.empty());
    EXPECT_EQ(report.accountsInBackup, 2);
    EXPECT_FALSE(report.isComplete());
}

TEST(BackupCheck, ListsAccountsWhoseCodesWouldDiffer) {
    Fixture fixture;
    fixture.backup[0].parameters = *OTPParameters::make(OTPAlgorithm::sha1, 6, 60);
    fixture.backup[1].secret = Bytes{2, 2, 0}; // longer
    fixture.secrets.erase(id(3));              // no local secret
    const BackupCheckReport report = fixture.report();
    EXPECT_EQ(report.mismatched,
              (std::vector<std::string>{"Example \xC2\xB7 alice", "Bank", "carol"}));
    EXPECT_TRUE(report.missing.empty());
    EXPECT_FALSE(report.isComplete());

    Fixture oneByte;
    oneByte.backup[2].secret = Bytes{3, 4};
    EXPECT_EQ(oneByte.report().mismatched, std::vector<std::string>{"carol"});
    Fixture otherName;
    otherName.backup[2].name = "renamed"; // a title does not change the codes
    EXPECT_TRUE(otherName.report().isComplete());
}

TEST(BackupCheck, CountsDeletedAccountsAsExtraAndTheFirstCopyOfAnIdentifier) {
    Fixture fixture;
    fixture.backup.push_back(backupAccount(8, "Old", "one", Bytes{8}));
    fixture.backup.push_back(backupAccount(9, "Old", "two", Bytes{9}));
    fixture.backup.push_back(backupAccount(1, "Example", "alice", Bytes{0xFF})); // later copy
    const BackupCheckReport report = fixture.report();
    EXPECT_EQ(report.extra, 2);
    EXPECT_EQ(report.accountsInBackup, 5);
    EXPECT_TRUE(report.isComplete());

    Fixture firstWrong;
    firstWrong.backup.insert(firstWrong.backup.begin(),
                             backupAccount(1, "Example", "alice", Bytes{0xFF}));
    EXPECT_EQ(firstWrong.report().mismatched, std::vector<std::string>{"Example \xC2\xB7 alice"});
}

TEST(BackupCheck, ReportsAnEmptyBackupAgainstAnEmptyList) {
    const BackupCheckReport report =
        BackupCheck::compare(BackupPayload::make(exported, {}, {}), {}, {});
    EXPECT_EQ(report.accountsInBackup, 0);
    EXPECT_EQ(report.extra, 0);
    EXPECT_TRUE(report.isComplete());
}

} // namespace
