// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestAccounts.hpp"

#include <OTPCore/AccountGrouping.hpp>
#include <OTPCore/GroupList.hpp>
#include <gtest/gtest.h>

using namespace zemlar;
using zemlar::testing::account;
using zemlar::testing::group;
using zemlar::testing::uuid;

namespace {

std::vector<std::string> names(const Groups& groups) {
    std::vector<std::string> result;
    for (const AccountGroup& each : groups) {
        result.push_back(each.name);
    }
    return result;
}

std::vector<std::string> titles(const Accounts& accounts) {
    std::vector<std::string> result;
    for (const Account& each : accounts) {
        result.push_back(AccountTitle::make(each));
    }
    return result;
}

const Groups work = {group(1, "Work")};

TEST(GroupList, AddingTrimsAppendsAndRefusesEmptyAndTakenNames) {
    EXPECT_EQ(GroupList::adding("  Home\n", uuid(2), work),
              (Groups{group(1, "Work"), group(2, "Home")}));
    EXPECT_EQ(GroupList::adding("   ", uuid(2), work), fail(GroupListError::emptyName()));
    EXPECT_EQ(GroupList::adding(" WORK ", uuid(2), work), fail(GroupListError::duplicateName()));
    EXPECT_EQ(GroupList::adding("W\u00F6rk", uuid(2), work),
              GroupList::adding("Wo\u0308rk", uuid(2), work));
}

// Renaming may change the form of its own name; removing ignores unknown identifiers.
TEST(GroupList, RenamingAndRemoving) {
    EXPECT_EQ(GroupList::renaming(uuid(1), "work", work), Groups{group(1, "work")});

    const Groups two = {group(1, "Work"), group(2, "Home")};
    EXPECT_EQ(GroupList::renaming(uuid(2), "work", two), fail(GroupListError::duplicateName()));
    EXPECT_EQ(GroupList::renaming(uuid(2), " ", two), fail(GroupListError::emptyName()));
    EXPECT_EQ(GroupList::renaming(uuid(9), "", two), fail(GroupListError::notFound()));
    EXPECT_EQ(names(GroupList::removing(uuid(1), two)), (std::vector<std::string>{"Home"}));
}

TEST(GroupList, SortsLikeAFileBrowserKeepingTheOrderOfEqualNames) {
    const Groups groups = {group(1, "Group 10"), group(2, "group 2"), group(3, "Alpha"),
                           group(4, "work"), group(5, "Work")};
    EXPECT_EQ(names(GroupList::sorted(groups)),
              (std::vector<std::string>{"Alpha", "group 2", "Group 10", "work", "Work"}));
}

TEST(GroupListMerging, MapsByIdentifierThenByNameThenAdds) {
    const Groups existing = {group(1, "Work"), group(2, "Home")};
    const Groups incoming = {group(1, "Renamed elsewhere"), group(10, "HOME"), group(11, "Travel"),
                             group(12, "travel"), group(13, "  ")};
    const GroupMerge merge = GroupList::merging(incoming, existing);
    EXPECT_EQ(names(merge.groups), (std::vector<std::string>{"Work", "Home", "Travel"}));
    EXPECT_EQ(merge.mapping.at(uuid(1)), uuid(1));
    EXPECT_EQ(merge.mapping.at(uuid(10)), uuid(2));
    EXPECT_EQ(merge.mapping.at(uuid(11)), uuid(11));
    EXPECT_EQ(merge.mapping.at(uuid(12)), uuid(11));
    EXPECT_FALSE(merge.mapping.contains(uuid(13)));
}

TEST(AccountGrouping, GivesEveryGroupASectionAndUngroupedAccountsTheLast) {
    const Groups groups = {group(2, "B"), group(1, "A")};
    Accounts accounts = {account(10, "Zeta"), account(11, "alpha"), account(12, "Mid")};
    accounts[0].groupID = uuid(2);
    accounts[1].groupID = uuid(2);
    accounts[2].groupID = uuid(99); // a group that is gone
    const auto sections = AccountGrouping::sections(accounts, groups);
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].group, group(1, "A"));
    EXPECT_TRUE(sections[0].accounts.empty());
    EXPECT_EQ(sections[1].group, group(2, "B"));
    EXPECT_EQ(titles(sections[1].accounts), (std::vector<std::string>{"alpha", "Zeta"}));
    EXPECT_EQ(sections[2].group, std::nullopt);
    EXPECT_EQ(titles(sections[2].accounts), (std::vector<std::string>{"Mid"}));
    EXPECT_EQ(AccountGrouping::groupName(accounts[2], groups), std::nullopt); // the group is gone
}

} // namespace
