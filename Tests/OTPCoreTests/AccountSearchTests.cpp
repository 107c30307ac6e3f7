// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestAccounts.hpp"

#include <OTPCore/AccountSearch.hpp>
#include <OTPCore/Unicode.hpp>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace zemlar;
using Match = AccountSearch::Match;

namespace {

const Date now(1'700'000'000);
constexpr double day = 86'400;

UUID uuid(std::uint8_t last, std::uint8_t first) {
    UUID::Storage bytes = zemlar::testing::uuid(last).bytes();
    bytes[0] = first;
    return UUID(bytes);
}

Account account(std::string issuer, std::string name, std::uint8_t id = 1) {
    return zemlar::testing::account(id, std::move(issuer), std::move(name));
}

Account used(Account base, std::int64_t count, double daysAgo) {
    base.useCount = count;
    base.lastUsedAt = Date(now.secondsSince1970() - daysAgo * day);
    return base;
}

Account withDomains(Account base, std::vector<std::string> domains) {
    base.domains = std::move(domains);
    return base;
}

std::vector<std::uint8_t> ranked(const std::vector<Account>& accounts, std::string_view query,
                                 std::optional<std::string> host = std::nullopt,
                                 const Groups& groups = {}) {
    std::vector<std::uint8_t> ids;
    for (const std::size_t position : AccountSearch::rank(accounts, query, now, host, groups)) {
        ids.push_back(accounts.at(position).id.bytes()[15]);
    }
    return ids;
}

TEST(AccountSearchMatch, ClassifiesTheBestMatchOfEveryQueryWord) {
    const AccountGroup work{zemlar::testing::uuid(9), "Work Stuff"};
    Account grouped = account("Acme", "ann");
    grouped.groupID = work.id;
    const struct {
        Account account;
        std::string query;
        std::optional<Match> expected;
        Groups groups = {};
    } cases[] = {
        {account("Northwind", "me"), "north", Match::prefix},
        {account("Northwind", "me"), "wind", Match::substring},
        {account("Northwind", "me"), "nw", Match::subsequence},
        {account("Northwind", "me"), "me", Match::prefix},
        {account("Blue Cloud Services", ""), "cloud", Match::wordPrefix},
        {account("Blue Cloud Services", ""), "bcs", Match::subsequence},
        {account("Blue Cloud Services", ""), "blue cloud", Match::wordPrefix},
        {account("Blue Cloud Services", ""), " \t ", Match::prefix},
        // Words are runs of letters and numbers; punctuation never starts one.
        {account("", "anna.smith@example.com"), "example", Match::wordPrefix},
        {account("", "anna.smith@example.com"), "@example", Match::substring},
        {account("Ünïcode-Straße", ""), "strasse", Match::wordPrefix},
        {account("R2D2", ""), "d2", Match::substring},
        // The group name counts for word prefixes and substrings, never for subsequences.
        {grouped, "stuff", Match::wordPrefix, {work}},
        {grouped, "tuff", Match::substring, {work}},
        {grouped, "wkst", std::nullopt, {work}},
        {grouped, "work", std::nullopt},
        {withDomains(account("Acme", ""), {"zeta.com"}), "zeta", std::nullopt},
        // The subsequence runs over issuer, a space and name, in order.
        {account("Gitea", "bob"), "gtb", Match::subsequence},
        {account("Gitea", "bob"), "bg", std::nullopt},
        {account("Ëa", "Ïb"), "eb", Match::subsequence},
        {account("日本語", "東京"), "本京", Match::subsequence},
        // The query is folded like the account, but full-width letters stay apart.
        {account("cafe", "jose"), "JOSÉ", Match::prefix},
        {account("Café", "José"), "cafe jose", Match::prefix},
        {account("cafe", "jose"), "ｃａｆｅ", std::nullopt},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(AccountSearch::match(row.account, row.query, row.groups), row.expected)
            << AccountTitle::make(row.account) << " / " << row.query;
    }
}

TEST(AccountSearchNormalized, FoldsAndCollapsesWhiteSpace) {
    EXPECT_EQ(AccountSearch::normalized("  Blue\t\tCLOUD \n Services "), "blue cloud services");
    EXPECT_EQ(AccountSearch::normalized("Éclair\u00A0\u2003Ünïcode"), "eclair unicode");
    EXPECT_EQ(AccountSearch::normalized("Straße"), "strasse");
    EXPECT_EQ(AccountSearch::normalized(" \u2028 "), "");
}

// Mostly ASCII, with Latin letters of the one-code-point table, the first code points beyond
// it (combining marks), and a few harder cases: ligatures, full-width forms, ill-formed bytes.
std::string generatedText(std::mt19937& random, bool asciiOnly) {
    static const std::vector<std::string> special = {
        "Σ", "ς", "\u2028", "\u0301", "ﬁ", "Ｗ", "日", "\xFF", "\xC3", "\u1E9E", "\u0345"};
    std::uniform_int_distribution<int> length(0, 24);
    std::uniform_int_distribution<int> ascii(0, 127);
    std::uniform_int_distribution<int> latin(0x80, 0x24F);
    std::uniform_int_distribution<int> beyond(0x250, 0x3FF);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(special.size()) - 1);
    std::uniform_int_distribution<int> chance(0, 19);
    std::string text;
    for (int count = length(random); count > 0; --count) {
        const int roll = asciiOnly ? 19 : chance(random);
        if (roll < 4) {
            Unicode::appendCodePoint(text, static_cast<char32_t>(latin(random)));
        } else if (roll == 4) {
            Unicode::appendCodePoint(text, static_cast<char32_t>(beyond(random)));
        } else if (roll == 5) {
            text += special[static_cast<std::size_t>(pick(random))];
        } else {
            text.push_back(static_cast<char>(ascii(random)));
        }
    }
    return text;
}

TEST(AccountSearchNormalized, ShortcutsAgreeWithICUForGeneratedTexts) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 30'000; ++round) {
        const std::string text = generatedText(random, round % 3 == 0);
        ASSERT_EQ(AccountSearch::normalized(text), AccountSearch::normalizedByICU(text)) << text;
        ASSERT_EQ(Unicode::lowercased(text), Unicode::lowercasedByICU(text)) << text;
    }
    for (int character = 0; character < 128; ++character) {
        const std::string text = "a" + std::string(1, static_cast<char>(character)) + "Z";
        ASSERT_EQ(AccountSearch::normalized(text), AccountSearch::normalizedByICU(text))
            << character;
    }
}

TEST(AccountSearchFrecency, FollowsUseCountAndHalfLife) {
    EXPECT_EQ(AccountSearch::frecency(account("a", "b"), now), 0);
    Account neverUsedButCounted = account("a", "b");
    neverUsedButCounted.useCount = 5;
    EXPECT_EQ(AccountSearch::frecency(neverUsedButCounted, now), 0);
    EXPECT_DOUBLE_EQ(AccountSearch::frecency(used(account("a", "b"), 1, 0), now), 1);
    EXPECT_DOUBLE_EQ(AccountSearch::frecency(used(account("a", "b"), 3, 0), now), 2);
    EXPECT_DOUBLE_EQ(AccountSearch::frecency(used(account("a", "b"), 1, 14), now), 0.5);
    // A last use in the future counts as now.
    EXPECT_DOUBLE_EQ(AccountSearch::frecency(used(account("a", "b"), 1, -3), now), 1);
}

TEST(AccountSearchFrecency, StaysANumberForExtremeInput) {
    Account odd = used(account("a", "b"), std::numeric_limits<std::int64_t>::max(), 0);
    EXPECT_TRUE(std::isfinite(AccountSearch::frecency(odd, now)));
    odd.lastUsedAt = Date(std::nan(""));
    EXPECT_TRUE(std::isfinite(AccountSearch::frecency(odd, now)));
    odd.lastUsedAt = Date(-std::numeric_limits<double>::infinity());
    EXPECT_EQ(AccountSearch::frecency(odd, now), 0);
}

TEST(AccountSearchRank, BetterMatchComesFirstWhateverElse) {
    const std::vector<Account> accounts = {
        used(account("Xnxoxrxtxh", "", 1), 100, 0), // subsequence
        used(account("Nor", "ann", 2), 50, 0),      // misses
        account("Gonorth", "", 3),                  // substring
        account("Big North", "", 4),                // word prefix
        account("Northwind", "", 5),                // prefix
    };
    EXPECT_EQ(ranked(accounts, "north", "xnxoxrxtxh.com"), (std::vector<std::uint8_t>{5, 4, 3, 1}));
    // Every query word is required.
    EXPECT_EQ(ranked(accounts, "north ann"), (std::vector<std::uint8_t>{}));
    EXPECT_EQ(ranked(accounts, "big north"), (std::vector<std::uint8_t>{4}));
}

TEST(AccountSearchRank, SiteMatchThenFrecencyThenTitleThenIdentifier) {
    const std::vector<Account> accounts = {
        account("Zeta", "z", 1),
        used(account("Alpha", "a", 2), 1, 0),
        withDomains(account("Omega", "o", 3), {"example.com"}),
        account("Example", "e", 4),
        account("Beta", "b", 5),
        used(account("Gamma", "g", 6), 3, 0),
    };
    EXPECT_EQ(ranked(accounts, "", "login.example.com"),
              (std::vector<std::uint8_t>{3, 4, 6, 2, 5, 1}));
    EXPECT_EQ(ranked(accounts, ""), (std::vector<std::uint8_t>{6, 2, 5, 4, 3, 1}));
    EXPECT_EQ(ranked(accounts, "  "), ranked(accounts, ""));
}

// "a" (from both Á and the name-only account) < "a b" < "b" < "e" < "z"; long titles in full.
TEST(AccountSearchRank, TitleIsComparedInFullNormalisedByScalarValue) {
    const std::vector<Account> accounts = {account("b", "", 1), account("Á", "", 2),
                                           account("", "a", 3), account("z", "", 4),
                                           account("é", "", 5), account("a", "b", 6)};
    EXPECT_EQ(ranked(accounts, ""), (std::vector<std::uint8_t>{2, 3, 6, 1, 5, 4}));
    const std::vector<Account> longTitles = {
        account("Longer Issuer Name", "zed", 1), account("Longer Issuer Name", "amy", 2),
        account("Longer Issuer", "Name", 3),     account("Longer Issuer Nam", "", 4),
        account("Longer", "Issuer", 5),          account("Longer Issuer Name", "amy\x01", 6),
        account("LONGER ISSUER NAME", "amy", 7)};
    EXPECT_EQ(ranked(longTitles, ""), (std::vector<std::uint8_t>{5, 4, 3, 2, 7, 6, 1}));
}

TEST(AccountSearchRank, IdentifierBreaksTiesWhateverTheInputOrder) {
    std::vector<Account> accounts;
    for (const std::uint8_t id : std::vector<std::uint8_t>{7, 3, 9, 1, 5}) {
        Account twin = account("Same", "title", id);
        twin.id = uuid(id, static_cast<std::uint8_t>(0xF0 - id));
        accounts.push_back(twin);
    }
    const auto expected = std::vector<std::uint8_t>{9, 7, 5, 3, 1};
    EXPECT_EQ(ranked(accounts, "same"), expected);
    std::reverse(accounts.begin(), accounts.end());
    EXPECT_EQ(ranked(accounts, "same"), expected);
    // Identical accounts are all kept.
    EXPECT_EQ(ranked(std::vector<Account>(3, account("Twin", "", 4)), "tw"),
              (std::vector<std::uint8_t>{4, 4, 4}));
}

} // namespace
