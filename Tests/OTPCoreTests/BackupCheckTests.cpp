// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestAccounts.hpp"

#include <OTPCore/BackupCheck.hpp>
#include <OTPCore/InboxMerge.hpp>
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

TEST(BackupCheck, ListsLocalAccountsTheBackupLacks) {
    Fixture fixture;
    fixture.backup.erase(fixture.backup.begin() + 1);
    fixture.local.push_back(account(4, "Shop", "dave"));
    const BackupCheckReport report = fixture.report();
    EXPECT_EQ(report.missing, (std::vector<std::string>{"Bank", "Shop \xC2\xB7 dave"}));
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

// Taking in the accounts of a backup left in the inbox.
struct InboxFixture {
    std::vector<Account> local = {account(1, "Example", "alice"), account(2, "Bank", "bob")};
    std::unordered_map<UUID, Bytes> secrets = {{id(1), Bytes{1, 1}}, {id(2), Bytes{2, 2}}};
    Groups groups = {AccountGroup{.id = id(50), .name = "Work"}};
    std::set<UUID> taken;

    InboxMergePlan plan(const std::vector<BackupAccount>& incoming) const {
        return InboxMerge::plan(incoming, local, secrets, groups, taken);
    }
};

TEST(InboxMerge, SkipsIdentifiersTakenBeforeOrPresentLocally) {
    InboxFixture fixture;
    fixture.taken = {id(20)}; // taken earlier and deleted since
    const InboxMergePlan plan = fixture.plan({backupAccount(1, "Changed", "x", Bytes{9}),
                                              backupAccount(20, "Gone", "y", Bytes{8}),
                                              backupAccount(21, "New", "z", Bytes{7})});
    EXPECT_EQ(plan.alreadyTaken, 2);
    ASSERT_EQ(plan.toAdd.size(), 1u);
    EXPECT_EQ(plan.toAdd[0].id, id(21));
    EXPECT_EQ(plan.taken, (std::set<UUID>{id(1), id(20), id(21)}));
}

TEST(InboxMerge, SkipsCopiesOfLocalAccountsUnderNewIdentifiers) {
    const InboxFixture fixture;
    const InboxMergePlan plan = fixture.plan({
        backupAccount(30, "Example", "alice", Bytes{1, 1}), // duplicate
        backupAccount(31, "Example", "Alice", Bytes{1, 1}), // other name
        backupAccount(32, "Example", "alice", Bytes{1, 2}), // other secret
        backupAccount(34, "example", "alice", Bytes{1, 1}), // other issuer
    });
    EXPECT_EQ(plan.duplicates, 1);
    ASSERT_EQ(plan.toAdd.size(), 3u);
    EXPECT_EQ(plan.toAdd[0].id, id(31));
    EXPECT_EQ(plan.taken.size(), 4u);

    BackupAccount otherParameters = backupAccount(35, "Bank", "bob", Bytes{2, 2});
    otherParameters.parameters = *OTPParameters::make(OTPAlgorithm::sha1, 8, 30);
    EXPECT_EQ(fixture.plan({otherParameters}).toAdd.size(), 1u);
    EXPECT_EQ(fixture.plan({backupAccount(36, "Bank", "bob", Bytes{2, 2})}).duplicates, 1);
    // A local account without a secret is never matched.
    InboxFixture noSecret;
    noSecret.secrets.erase(id(2));
    EXPECT_EQ(noSecret.plan({backupAccount(36, "Bank", "bob", Bytes{2, 2})}).duplicates, 0);
}

TEST(InboxMerge, DropsGroupsThisMachineDoesNotHave) {
    BackupAccount known = backupAccount(40, "A", "a", Bytes{1});
    known.groupID = id(50);
    BackupAccount unknown = backupAccount(41, "B", "b", Bytes{2});
    unknown.groupID = id(51);
    const BackupAccount none = backupAccount(42, "C", "c", Bytes{3});
    const InboxMergePlan plan = InboxFixture().plan({known, unknown, none});
    ASSERT_EQ(plan.toAdd.size(), 3u);
    EXPECT_EQ(plan.toAdd[0].groupID, id(50));
    EXPECT_EQ(plan.toAdd[1].groupID, std::nullopt);
    EXPECT_EQ(plan.toAdd[2], none);
}

TEST(InboxMerge, CountsARepeatedIdentifierOnceByItsFirstOccurrence) {
    const InboxMergePlan plan = InboxFixture().plan(
        {backupAccount(60, "First", "x", Bytes{1}), backupAccount(60, "Second", "y", Bytes{2}),
         backupAccount(1, "Local", "z", Bytes{3}), backupAccount(1, "Local", "z", Bytes{3})});
    ASSERT_EQ(plan.toAdd.size(), 1u);
    EXPECT_EQ(plan.toAdd[0].issuer, "First");
    EXPECT_EQ(plan.alreadyTaken, 1);
    EXPECT_EQ(plan.taken, (std::set<UUID>{id(1), id(60)}));
}

} // namespace
