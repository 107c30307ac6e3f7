// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/Unicode.hpp>
#include <gtest/gtest.h>

using namespace zemlar;

TEST(UnicodeTrimmedBlanks, RemovesSpaceSeparatorsAndTabsButKeepsLineBreaks) {
    EXPECT_EQ(Unicode::trimmedBlanks(" \t\u00A0\u3000a b\u2003 "), "a b");
    EXPECT_EQ(Unicode::trimmedBlanks("\n a \r"), "\n a \r");
    EXPECT_EQ(Unicode::trimmedBlanks("\xEF\xBB\xBF"
                                     "a"),
              "\xEF\xBB\xBF"
              "a");
    EXPECT_EQ(Unicode::trimmedBlanks(" \t "), "");
    EXPECT_EQ(Unicode::trimmedBlanks(" \xFF "), "\xFF");
}

TEST(UnicodeTrimmedBlanks, CanAlsoRemoveByteOrderMarks) {
    EXPECT_EQ(Unicode::trimmedBlanksAndByteOrderMarks("\xEF\xBB\xBF \xEF\xBB\xBF"
                                                      "a\xEF\xBB\xBF "),
              "a");
    EXPECT_EQ(Unicode::trimmedBlanksAndByteOrderMarks("\na\n"), "\na\n");
}

TEST(UnicodeCase, MapsTheFullUnicodeCases) {
    EXPECT_EQ(Unicode::lowercased("OTPAuth://TOTP"), "otpauth://totp");
    EXPECT_EQ(Unicode::uppercased("sha256"), "SHA256");
    EXPECT_EQ(Unicode::uppercased("\u017Fha1"), "SHA1"); // long s
    EXPECT_EQ(Unicode::uppercased("stra\u00DFe"), "STRASSE");
    EXPECT_EQ(Unicode::lowercased("\u00C9CLAIR \u0130"), "\u00E9clair i\u0307");
    EXPECT_EQ(Unicode::lowercased("A\xFF"), "a\uFFFD");
}

TEST(UnicodeRepairedUTF8, ReplacesEachIllFormedSequence) {
    EXPECT_EQ(Unicode::wellFormed("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(Unicode::wellFormed("a\xFF"
                                  "b"),
              "a\uFFFD"
              "b");
    EXPECT_EQ(Unicode::wellFormed("\xE2\x82"), "\uFFFD");
    EXPECT_EQ(Unicode::wellFormed("\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFD"); // a surrogate
    EXPECT_EQ(Unicode::wellFormed(std::string("a\0b", 3)), std::string("a\0b", 3));
}
