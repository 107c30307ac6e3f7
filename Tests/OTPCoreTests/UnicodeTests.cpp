// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/Unicode.hpp>
#include <gtest/gtest.h>

using namespace zemlar;

namespace {

TEST(UnicodeFolding, IgnoresCaseAndDiacriticsWithoutALocale) {
    EXPECT_EQ(Unicode::folded("Éclair"), "eclair");
    EXPECT_EQ(Unicode::folded("E\u0301CLAIR"), "eclair");
    EXPECT_EQ(Unicode::folded("Wörk"), Unicode::folded("WORK"));
    EXPECT_EQ(Unicode::folded("İstanbul"), Unicode::folded("istanbul"));
    EXPECT_EQ(Unicode::folded("ΣΟΦΊΑ"), Unicode::folded("σοφια"));
    EXPECT_EQ(Unicode::folded("Straße"), "strasse");
}

TEST(UnicodeFolding, KeepsCompatibilityForms) {
    EXPECT_NE(Unicode::folded("\uFF21\uFF22"), "ab"); // full-width A B
    EXPECT_EQ(Unicode::folded("\uFF21\uFF22"), "\uFF41\uFF42");
}

TEST(UnicodeFolding, ReadsIllFormedTextAsReplacementCharacters) {
    EXPECT_EQ(Unicode::folded("A\xC3"), "a\uFFFD");
    EXPECT_EQ(Unicode::folded(""), "");
}

TEST(UnicodeTrimming, RemovesWhiteSpaceAndLineBreaksAtBothEnds) {
    EXPECT_EQ(Unicode::trimmed("  a b \t\n"), "a b");
    EXPECT_EQ(Unicode::trimmed("\u00A0\u2003word\u2028\u0085\r"), "word");
    EXPECT_EQ(Unicode::trimmed("\u3000"), "");
    EXPECT_EQ(Unicode::trimmed("\v\f"), "");
    EXPECT_EQ(Unicode::trimmed("\u200Bword"), "\u200Bword"); // zero width space is not white space
    EXPECT_EQ(Unicode::trimmed("é "), "é");
}

TEST(UnicodeTrimming, StopsAtIllFormedBytes) {
    EXPECT_EQ(Unicode::trimmed(" \xC3 "), "\xC3");
}

TEST(UnicodeCollation, OrdersLikeAFileBrowser) {
    EXPECT_LT(Unicode::localizedStandardCompare("Group 2", "Group 10"), 0);
    EXPECT_LT(Unicode::localizedStandardCompare("group 2", "Group 10"), 0);
    EXPECT_LT(Unicode::localizedStandardCompare("Alpha", "group 2"), 0);
    EXPECT_EQ(Unicode::localizedStandardCompare("work", "WORK"), 0);
    EXPECT_GT(Unicode::localizedStandardCompare("b", "A"), 0);
    EXPECT_NE(Unicode::localizedStandardCompare("resume", "résumé"), 0);
}

} // namespace
