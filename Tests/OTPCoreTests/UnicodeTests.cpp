// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/Unicode.hpp>
#include <gtest/gtest.h>
#include <unicode/uchar.h>

using namespace zemlar;

namespace {

// The character classes against ICU's own properties, over every code point. (The tables of
// the folding and lower-casing shortcuts are checked against ICU by the account search tests.)
TEST(UnicodeClasses, MatchICUPropertiesForEveryCodePoint) {
    for (char32_t codePoint = 0; codePoint <= 0x10FFFF; ++codePoint) {
        const auto icu = static_cast<UChar32>(codePoint);
        const auto mask = U_GET_GC_MASK(icu);
        ASSERT_EQ(Unicode::isWhitespaceOrNewline(codePoint), u_isUWhiteSpace(icu) != 0)
            << std::hex << static_cast<std::uint32_t>(codePoint);
        ASSERT_EQ(Unicode::isLetterOrNumber(codePoint), (mask & (U_GC_L_MASK | U_GC_N_MASK)) != 0)
            << std::hex << static_cast<std::uint32_t>(codePoint);
        ASSERT_EQ(Unicode::isBlank(codePoint),
                  codePoint == 0x09 || u_charType(icu) == U_SPACE_SEPARATOR)
            << std::hex << static_cast<std::uint32_t>(codePoint);
    }
}

// Folding and lower-casing are held against ICU by the account search tests.
TEST(UnicodeFolding, IgnoresCaseAndDiacriticsButKeepsCompatibilityForms) {
    EXPECT_EQ(Unicode::folded("\uFF21\uFF22"), "\uFF41\uFF42"); // full-width A B
    // Group names sort like a file browser (see the group list) but keep their accents apart.
    EXPECT_NE(Unicode::localizedStandardCompare("resume", "r\u00E9sum\u00E9"), 0);
}

TEST(UnicodeCase, MapsTheFullUnicodeCasesInComposedForm) {
    EXPECT_EQ(Unicode::lowercased("\u00C9CLAIR \u0130"), "\u00E9clair i\u0307");
    EXPECT_EQ(Unicode::uppercased("\u017Fha1"), "SHA1"); // long s
    EXPECT_EQ(Unicode::uppercased("stra\u00DFe"), "STRASSE");
}

TEST(UnicodeTrimming, RemovesWhiteSpaceAndLineBreaksAtBothEnds) {
    EXPECT_EQ(Unicode::trimmed("\u00A0\u2003word\u2028\u0085\r"), "word");
    EXPECT_EQ(Unicode::trimmed("\u200Bword"), "\u200Bword"); // zero width space is not white space
    EXPECT_EQ(Unicode::trimmed(" \xC3 "), "\xC3");
}

TEST(UnicodeTrimming, BlanksAreSpaceSeparatorsAndTabsButNotLineBreaks) {
    EXPECT_EQ(Unicode::trimmedBlanks(" \t\u00A0\u3000a b\u2003 "), "a b");
    EXPECT_EQ(Unicode::trimmedBlanks("\n a \r"), "\n a \r");
    EXPECT_EQ(Unicode::trimmedBlanksAndByteOrderMarks("\xEF\xBB\xBF \xEF\xBB\xBF"
                                                      "a\xEF\xBB\xBF "),
              "a");
}

TEST(UnicodeCodePoints, RepairIllFormedSequences) {
    std::string surrogate;
    Unicode::appendCodePoint(surrogate, 0xD800);
    EXPECT_EQ(surrogate, "\uFFFD");

    EXPECT_EQ(Unicode::wellFormed("a\xFF"
                                  "b"),
              "a\uFFFD"
              "b");
    EXPECT_EQ(Unicode::wellFormed("\xE2\x82"), "\uFFFD");
    EXPECT_EQ(Unicode::wellFormed("\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFD"); // a surrogate
    EXPECT_EQ(Unicode::wellFormed(std::string("a\0b", 3)), std::string("a\0b", 3));
}

} // namespace
