// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestAccounts.hpp"

#include <OTPCore/AccountsCodec.hpp>
#include <OTPCore/GroupsCodec.hpp>
#include <OTPCore/JSONCoding.hpp>
#include <gtest/gtest.h>

using namespace zemlar;
using JSONCoding::JSON;
using zemlar::testing::account;
using zemlar::testing::group;
using zemlar::testing::uuid;

namespace {

Bytes bytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

const char* minimalAccountFile = R"({
  "version": 1,
  "accounts": [{
    "id": "e621e1f8-c36c-495a-93fc-0c247a3e6e5f",
    "issuer": "Northwind", "name": "me", "useCount": 3,
    "createdAt": "2025-03-01T09:30:00Z", "groupID": null, "lastUsedAt": null,
    "parameters": {"algorithm": "SHA1", "digits": 6, "period": 30},
    "unknownKey": [1, 2, 3]
  }]
})";

Account fullAccount() {
    Account full = account(1, "Northwind \u00B7 Süd", "me@example.com");
    full.parameters = *OTPParameters::make(OTPAlgorithm::sha512, 8, 60);
    full.lastUsedAt = Date(1740821500);
    full.useCount = 42;
    full.domains = {"northwind.example", "login.northwind.example"};
    full.groupID = uuid(77);
    full.pressesReturn = true;
    return full;
}

TEST(AccountsCodec, RoundTripsEveryFieldButFractionsOfASecond) {
    Accounts list = {fullAccount(), account(2, "", "")};
    EXPECT_EQ(AccountsCodec::decode(*AccountsCodec::encode(list)), list);
    list[1].createdAt = Date(1740821400.75);
    const auto decoded = AccountsCodec::decode(*AccountsCodec::encode(list));
    ASSERT_TRUE(decoded);
    EXPECT_EQ((*decoded)[1].createdAt, Date(1740821400));
}

// Null optional members read as absent, like missing ones.
TEST(AccountsCodec, FillsDefaultsForMissingOptionalKeys) {
    const auto decoded = AccountsCodec::decode(bytes(minimalAccountFile));
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->size(), 1u);
    const Account& read = decoded->front();
    EXPECT_TRUE(read.domains.empty());
    EXPECT_EQ(read.groupID, std::nullopt);
    EXPECT_EQ(read.lastUsedAt, std::nullopt);
    EXPECT_FALSE(read.pressesReturn);
    EXPECT_EQ(read.useCount, 3);
}

TEST(AccountsCodec, ProbesTheVersionBeforeTheRest) {
    const std::pair<const char*, AccountsCodecError> cases[] = {
        {R"({"version": 2, "accounts": []})", AccountsCodecError::unsupportedVersion(2)},
        {R"({"accounts": []})", AccountsCodecError::malformed()},
        {R"({"version": "1", "accounts": []})", AccountsCodecError::malformed()},
    };
    for (const auto& [text, error] : cases) {
        EXPECT_EQ(AccountsCodec::decode(bytes(text)), fail(error)) << text;
    }
    EXPECT_EQ(AccountsCodec::decode(bytes(R"({"version": 1, "accounts": []})")), Accounts{});
}

TEST(AccountsCodec, RefusesTheWholeFileForOneBadAccount) {
    JSON document = JSON::parse(minimalAccountFile);
    const JSON good = document["accounts"][0];
    const auto refusedWith = [&](auto change) {
        JSON bad = good;
        change(bad);
        JSON twoAccounts = document;
        twoAccounts["accounts"] = JSON::array({good, bad});
        return AccountsCodec::decode(bytes(twoAccounts.dump()));
    };
    const auto malformed = fail(AccountsCodecError::malformed());
    EXPECT_EQ(refusedWith([](JSON& a) { a.erase("useCount"); }), malformed);
    EXPECT_EQ(refusedWith([](JSON& a) { a["parameters"]["algorithm"] = "MD5"; }), malformed);
    EXPECT_EQ(refusedWith([](JSON& a) { a["lastUsedAt"] = "yesterday"; }), malformed);
    EXPECT_EQ(refusedWith([](JSON& a) { a["groupID"] = 12; }), malformed);
    EXPECT_EQ(refusedWith([](JSON& a) { a["pressesReturn"] = "yes"; }), malformed);
    EXPECT_EQ(refusedWith([](JSON& a) { a = "account"; }), malformed);
}

TEST(AccountsCodec, RefusesTextThatIsNotAJSONObject) {
    for (const char* input : {"", "[]", "{\"version\": 1, \"accounts\": [\"\xC3\"]}"}) {
        EXPECT_EQ(AccountsCodec::decode(bytes(input)), fail(AccountsCodecError::malformed()))
            << input;
    }
}

TEST(AccountsCodec, ReportsWhatCannotBeWritten) {
    Account undatable = account(1, "A");
    undatable.createdAt = Date(1e20);
    EXPECT_EQ(AccountsCodec::encode({undatable}), fail(AccountsCodecError::encodingFailed()));
    Account invalidText = account(2, "\xC3");
    EXPECT_EQ(AccountsCodec::encode({invalidText}), fail(AccountsCodecError::encodingFailed()));
}

TEST(GroupsCodec, RoundTripsInStoredOrder) {
    const Groups groups = {group(2, "Work"), group(1, "Ärger \"quoted\"")};
    const auto encoded = GroupsCodec::encode(groups);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(GroupsCodec::decode(*encoded), groups);
}

// The version and the list are read as in the account file; these are the group's own members.
TEST(GroupsCodec, RefusesAGroupWithoutAValidIdentifierAndName) {
    const auto malformed = AccountsCodecError::malformed();
    const std::pair<const char*, AccountsCodecError> cases[] = {
        {R"({"version": 1, "groups": [{"id": "x", "name": "A"}]})", malformed},
        {R"({"version": 1, "groups": [{"id": "00000000-0000-0000-0000-000000000001"}]})",
         malformed},
    };
    for (const auto& [text, error] : cases) {
        EXPECT_EQ(GroupsCodec::decode(bytes(text)), fail(error)) << text;
    }
}

} // namespace
