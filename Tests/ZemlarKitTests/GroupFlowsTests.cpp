// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageTesting.hpp"
#include "StoreDoubles.hpp"

#include <fstream>
#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

struct GroupFlowsFixture : ::testing::Test {
    ScratchFolder scratch;
    FileAccountStore accountFiles{scratch.path / "accounts.json"};
    FileGroupStore groupFiles{scratch.path / "groups.json"};
    FaultyAccountStore accounts{accountFiles};
    FaultyGroupStore groups{groupFiles};

    void SetUp() override {
        const OTPAuthEntry entry("I", "n", Bytes{}, OTPParameters::standard());
        Account member = entry.account(uuidNumber(1), Date(1.0));
        member.groupID = work;
        ASSERT_TRUE(accountFiles.save({member, entry.account(uuidNumber(2), Date(1.0))}));
        ASSERT_TRUE(groupFiles.save({AccountGroup{work, "Work"}, AccountGroup{home, "Home"}}));
    }

    const UUID work = uuidNumber(60);
    const UUID home = uuidNumber(61);
};

} // namespace

TEST_F(GroupFlowsFixture, AddAndRenameCheckTheNameAndSave) {
    const auto added = GroupFlows::add("  Bank ", uuidNumber(70), groups);
    ASSERT_TRUE(added.has_value());
    EXPECT_EQ(groupFiles.load().value(), *added);
    EXPECT_EQ(GroupFlows::rename(home, "House", groups).value()[1].name, "House");

    const int saves = groups.saves;
    EXPECT_EQ(GroupFlows::add("work", uuidNumber(71), groups).error(),
              GroupFlowError::list(GroupListError::duplicateName()));
    EXPECT_EQ(groups.saves, saves);
}

TEST_F(GroupFlowsFixture, DeleteMovesTheGroupsAccountsToNoGroupFirst) {
    const std::string groupsBefore = textOf(*readFile(groupFiles.fileURL));
    accounts.failSave = 1;
    EXPECT_EQ(GroupFlows::remove(work, groups, accounts).error(),
              GroupFlowError::accounts(AccountStoreError::writeFailed()));
    EXPECT_EQ(groups.loads, 0);
    EXPECT_EQ(textOf(*readFile(groupFiles.fileURL)), groupsBefore);

    const auto remaining = GroupFlows::remove(work, groups, accounts);
    ASSERT_TRUE(remaining.has_value());
    EXPECT_EQ(*remaining, (Groups{AccountGroup{home, "Home"}}));
    EXPECT_EQ(accountFiles.load().value()[0].groupID, std::nullopt);
    EXPECT_EQ(accounts.saves, 2);
    ASSERT_TRUE(GroupFlows::remove(home, groups, accounts));
    EXPECT_EQ(accounts.saves, 2) << "an unused group leaves the account file alone";
    EXPECT_TRUE(GroupFlows::remove(home, groups, accounts)) << "a group already gone is no error";
}

TEST_F(GroupFlowsFixture, ACorruptedFileIsReportedAndNeverOverwritten) {
    std::ofstream(groupFiles.fileURL) << "garbage";
    EXPECT_EQ(
        GroupFlows::add("New", uuidNumber(72), groups).error(),
        GroupFlowError::groups(AccountStoreError::corrupted(AccountsCodecError::malformed())));
    std::ofstream(accountFiles.fileURL) << "garbage";
    EXPECT_EQ(
        GroupFlows::remove(work, groups, accounts).error(),
        GroupFlowError::accounts(AccountStoreError::corrupted(AccountsCodecError::malformed())));
    EXPECT_EQ(textOf(*readFile(accountFiles.fileURL)) + textOf(*readFile(groupFiles.fileURL)),
              "garbagegarbage");
    EXPECT_EQ(groups.saves + accounts.saves, 0);
}
