// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestAccounts.hpp"

#include <OTPCore/AccountList.hpp>
#include <OTPCore/OTPAuthEntry.hpp>
#include <gtest/gtest.h>

using namespace zemlar;
using zemlar::testing::account;
using zemlar::testing::uuid;

namespace {

const Accounts twoAccounts = {account(1, "Northwind", "me"), account(2, "Contoso", "you")};

TEST(AccountList, AddingAppendsAndRefusesATakenIdentifier) {
    EXPECT_EQ(AccountList::adding(account(3, "Fabrikam"), twoAccounts),
              (Accounts{twoAccounts[0], twoAccounts[1], account(3, "Fabrikam")}));

    const auto duplicate = AccountList::adding(account(2, "Other"), twoAccounts);
    EXPECT_EQ(duplicate, fail(AccountListError::duplicateID()));
}

TEST(AccountList, RemovingKeepsTheOrderAndIgnoresUnknownIdentifiers) {
    Accounts three = twoAccounts;
    three.push_back(account(3, "Fabrikam"));
    EXPECT_EQ(AccountList::removing(uuid(2), three), (Accounts{three[0], three[2]}));
    EXPECT_EQ(AccountList::removing(uuid(99), three), three);
}

TEST(AccountList, RenamingTrimsAndRefusesAnEmptyTitleBeforeTheLookup) {
    const auto renamed = AccountList::renaming(uuid(1), " Word ", "\tname\n", twoAccounts);
    ASSERT_TRUE(renamed);
    EXPECT_EQ((*renamed)[0].issuer, "Word");
    EXPECT_EQ((*renamed)[0].name, "name");

    EXPECT_EQ(AccountList::renaming(uuid(99), "  ", "\n", twoAccounts),
              fail(AccountListError::emptyTitle()));
    EXPECT_EQ(AccountList::renaming(uuid(99), "Word", "", twoAccounts),
              fail(AccountListError::notFound()));
}

TEST(AccountList, SettersChangeOnlyTheirFieldOfTheFirstMatch) {
    const auto domains =
        AccountList::settingDomains(uuid(2), {"b.example", "a.example"}, twoAccounts);
    ASSERT_TRUE(domains);
    EXPECT_EQ((*domains)[1].domains, (std::vector<std::string>{"b.example", "a.example"}));
    EXPECT_EQ((*domains)[0], twoAccounts[0]);

    const auto grouped = AccountList::settingGroup(uuid(1), uuid(50), twoAccounts);
    ASSERT_TRUE(grouped);
    EXPECT_EQ((*grouped)[0].groupID, uuid(50));

    EXPECT_EQ(AccountList::settingDomains(uuid(9), {}, twoAccounts),
              fail(AccountListError::notFound()));
}

TEST(AccountList, UngroupingTouchesOnlyThatGroup) {
    Accounts grouped = twoAccounts;
    grouped[0].groupID = uuid(50);
    grouped[1].groupID = uuid(51);
    const Accounts result = AccountList::ungrouping(uuid(50), grouped);
    EXPECT_EQ(result[0].groupID, std::nullopt);
    EXPECT_EQ(result[1].groupID, uuid(51));
}

TEST(AccountList, RecordingUseCountsAndKeepsTheLatestMoment) {
    auto once = AccountList::recordingUse(uuid(1), Date(10), twoAccounts);
    ASSERT_TRUE(once);
    auto twice = AccountList::recordingUse(uuid(1), Date(20), *once);
    ASSERT_TRUE(twice);
    EXPECT_EQ((*twice)[0].useCount, 2);
    EXPECT_EQ((*twice)[0].lastUsedAt, Date(20));
    EXPECT_EQ(AccountList::recordingUse(uuid(9), Date(20), twoAccounts),
              fail(AccountListError::notFound()));
    // The count stops at its largest value.
    Accounts list = twoAccounts;
    list[0].useCount = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ((*AccountList::recordingUse(uuid(1), Date(20), list))[0].useCount, list[0].useCount);
}

} // namespace
