// SPDX-License-Identifier: GPL-3.0-or-later
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
        Account member{uuidNumber(1), "I",          "n", OTPParameters::standard(),
                       Date(1.0),     std::nullopt, 0,   {},
                       work,          false};
        Account loner = member;
        loner.id = uuidNumber(2);
        loner.groupID.reset();
        ASSERT_TRUE(accountFiles.save({member, loner}));
        ASSERT_TRUE(groupFiles.save({AccountGroup{work, "Work"}, AccountGroup{home, "Home"}}));
    }

    std::string fileText(const std::filesystem::path& path) {
        std::ifstream input(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(input), {});
    }

    const UUID work = uuidNumber(60);
    const UUID home = uuidNumber(61);
};

} // namespace

TEST_F(GroupFlowsFixture, AddAndRenameCheckTheNameAndSave) {
    const auto added = GroupFlows::add("  Bank ", uuidNumber(70), groups);
    ASSERT_TRUE(added.has_value());
    EXPECT_EQ(added->back(), (AccountGroup{uuidNumber(70), "Bank"}));
    EXPECT_EQ(groupFiles.load().value(), *added);
    EXPECT_EQ(GroupFlows::rename(home, "House", groups).value()[1].name, "House");

    const std::string before = fileText(groupFiles.fileURL);
    EXPECT_EQ(GroupFlows::add("work", uuidNumber(71), groups).error(),
              GroupFlowError::list(GroupListError::duplicateName()));
    EXPECT_EQ(GroupFlows::add("  ", uuidNumber(71), groups).error(),
              GroupFlowError::list(GroupListError::emptyName()));
    EXPECT_EQ(GroupFlows::rename(uuidNumber(99), "X", groups).error(),
              GroupFlowError::list(GroupListError::notFound()));
    EXPECT_EQ(fileText(groupFiles.fileURL), before);
}

TEST_F(GroupFlowsFixture, DeleteMovesTheGroupsAccountsToNoGroupFirst) {
    const auto remaining = GroupFlows::remove(work, groups, accounts);
    ASSERT_TRUE(remaining.has_value());
    EXPECT_EQ(*remaining, (Groups{AccountGroup{home, "Home"}}));
    EXPECT_EQ(accountFiles.load().value()[0].groupID, std::nullopt);
    EXPECT_EQ(accounts.saves, 1);
}

TEST_F(GroupFlowsFixture, DeletingAnUnusedGroupDoesNotRewriteTheAccountFile) {
    const auto before = std::filesystem::last_write_time(accountFiles.fileURL);
    ASSERT_TRUE(GroupFlows::remove(home, groups, accounts));
    EXPECT_EQ(accounts.saves, 0);
    EXPECT_EQ(std::filesystem::last_write_time(accountFiles.fileURL), before);
    EXPECT_TRUE(GroupFlows::remove(home, groups, accounts)) << "a group already gone is no error";
}

TEST_F(GroupFlowsFixture, AFailedAccountSaveKeepsTheGroupAndBothFiles) {
    const std::string accountsBefore = fileText(accountFiles.fileURL);
    const std::string groupsBefore = fileText(groupFiles.fileURL);
    accounts.failSave = 1;
    EXPECT_EQ(GroupFlows::remove(work, groups, accounts).error(),
              GroupFlowError::accounts(AccountStoreError::writeFailed()));
    EXPECT_EQ(groups.loads, 0);
    EXPECT_EQ(fileText(accountFiles.fileURL), accountsBefore);
    EXPECT_EQ(fileText(groupFiles.fileURL), groupsBefore);
}

TEST_F(GroupFlowsFixture, ACorruptedFileIsReportedAndNeverOverwritten) {
    std::ofstream(groupFiles.fileURL) << "garbage";
    EXPECT_EQ(
        GroupFlows::add("New", uuidNumber(72), groups).error(),
        GroupFlowError::groups(AccountStoreError::corrupted(AccountsCodecError::malformed())));
    EXPECT_EQ(fileText(groupFiles.fileURL), "garbage");
    std::ofstream(accountFiles.fileURL) << "garbage";
    EXPECT_EQ(
        GroupFlows::remove(work, groups, accounts).error(),
        GroupFlowError::accounts(AccountStoreError::corrupted(AccountsCodecError::malformed())));
    EXPECT_EQ(fileText(accountFiles.fileURL), "garbage");
    EXPECT_EQ(groups.saves + accounts.saves, 0);
}

TEST(GroupFlowTexts, MapEveryErrorToItsSentence) {
    const auto text = [](GroupFlowError error) { return std::string(GroupFlows::userText(error)); };
    const auto corrupted = AccountStoreError::corrupted(AccountsCodecError::unsupportedVersion(3));
    EXPECT_EQ(text(GroupFlowError::groups(corrupted)), "The group list file is corrupted");
    EXPECT_EQ(text(GroupFlowError::groups(AccountStoreError::readFailed())),
              "Couldn't save the changes");
    EXPECT_EQ(text(GroupFlowError::groups(AccountStoreError::writeFailed())),
              "Couldn't save the changes");
    EXPECT_EQ(text(GroupFlowError::accounts(corrupted)), "The account list file is corrupted");
    EXPECT_EQ(text(GroupFlowError::accounts(AccountStoreError::readFailed())),
              "Couldn't save the changes");
    EXPECT_EQ(text(GroupFlowError::accounts(AccountStoreError::writeFailed())),
              "Couldn't save the changes");
    EXPECT_EQ(text(GroupFlowError::list(GroupListError::emptyName())), "Enter a group name");
    EXPECT_EQ(text(GroupFlowError::list(GroupListError::duplicateName())),
              "A group with this name already exists");
    EXPECT_EQ(text(GroupFlowError::list(GroupListError::notFound())),
              "The group has already been deleted");
}
