// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestAccounts.hpp"

#include <OTPCore/AccountSearch.hpp>
#include <OTPCore/Unicode.hpp>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

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
        {account("Blue Cloud Services", ""), "cloud", Match::wordPrefix},
        {account("Blue Cloud Services", ""), "blue cloud", Match::wordPrefix},
        {account("Blue Cloud Services", ""), " \t ", Match::prefix},
        // Words are runs of letters and numbers; punctuation never starts one.
        {account("", "anna.smith@example.com"), "example", Match::wordPrefix},
        {account("Ünïcode-Straße", ""), "strasse", Match::wordPrefix},
        // The group name counts for word prefixes and substrings, never for subsequences.
        {grouped, "stuff", Match::wordPrefix, {work}},
        {grouped, "wkst", std::nullopt, {work}},
        {withDomains(account("Acme", ""), {"zeta.com"}), "zeta", std::nullopt},
        // The subsequence runs over issuer, a space and name, in order.
        {account("Gitea", "bob"), "gtb", Match::subsequence},
        // The query is folded like the account, but full-width letters stay apart.
        {account("cafe", "jose"), "JOSÉ", Match::prefix},
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
}

// The shortcuts against ICU: every code point of the one-code-point table and the first ones
// beyond it, between letters, then the harder cases: final sigma, ligatures, full-width forms,
// combining marks and ill-formed bytes.
TEST(AccountSearchNormalized, ShortcutsAgreeWithICU) {
    std::vector<std::string> texts = {"ΟΔΟΣ Σ ς", "ﬁ Ｗ 日", "e\u0301\u0345", "\xFF\xC3!",
                                      "\u1E9E\u2028 x"};
    for (char32_t codePoint = 0; codePoint < 0x400; ++codePoint) {
        std::string text = "a";
        Unicode::appendCodePoint(text, codePoint);
        texts.push_back(text + "Z");
    }
    for (const std::string& text : texts) {
        EXPECT_EQ(AccountSearch::normalized(text), AccountSearch::normalizedByICU(text)) << text;
        EXPECT_EQ(Unicode::lowercased(text), Unicode::lowercasedByICU(text)) << text;
    }
}

TEST(AccountSearchFrecency, FollowsUseCountAndHalfLife) {
    EXPECT_EQ(AccountSearch::frecency(account("a", "b"), now), 0);
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
}

// "a" (from both Á and the name-only account) < "a b" < "b" < "e" < "z".
TEST(AccountSearchRank, TitleIsComparedInFullNormalisedByScalarValue) {
    const std::vector<Account> accounts = {account("b", "", 1), account("Á", "", 2),
                                           account("", "a", 3), account("z", "", 4),
                                           account("é", "", 5), account("a", "b", 6)};
    EXPECT_EQ(ranked(accounts, ""), (std::vector<std::uint8_t>{2, 3, 6, 1, 5, 4}));
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
}

} // namespace
