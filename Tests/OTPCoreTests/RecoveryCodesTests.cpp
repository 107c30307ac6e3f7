// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/RecoveryCodes.hpp>
#include <gtest/gtest.h>

using namespace zemlar;

namespace {

using Codes = std::vector<std::string>;

TEST(RecoveryCodesParse, DropsBlankLinesBlanksAtEndsAndRepeats) {
    EXPECT_EQ(RecoveryCodes::parse("A1\n\n  B2\nA1"), (Codes{"A1", "B2"}));
    EXPECT_EQ(RecoveryCodes::parse("\t abcd efgh \u3000\n"), (Codes{"abcd efgh"}));
    EXPECT_EQ(RecoveryCodes::parse("abc\nABC\nabc "), (Codes{"abc", "ABC"}));
    EXPECT_EQ(RecoveryCodes::parse(""), Codes{});
    EXPECT_EQ(RecoveryCodes::parse(" \n\t\n\u00A0"), Codes{});
}

TEST(RecoveryCodesParse, SplitsAtEveryLineBreak) {
    EXPECT_EQ(RecoveryCodes::parse("a\r\nb\rc\vd\fe\u0085f\u2028g\u2029h\r\n"),
              (Codes{"a", "b", "c", "d", "e", "f", "g", "h"}));
}

TEST(RecoveryCodesParse, ReadsIllFormedTextAsReplacementCharacters) {
    EXPECT_EQ(RecoveryCodes::parse("ab\xFF\ncd\xC3"), (Codes{"ab\uFFFD", "cd\uFFFD"}));
}

TEST(RecoveryCodesText, JoinsWithLineFeedsAndRoundTrips) {
    EXPECT_EQ(RecoveryCodes::text({"A1", "B2"}), "A1\nB2");
    EXPECT_EQ(RecoveryCodes::text({}), "");
    const Codes codes = {"A1", "b2 c3", "ü-4"};
    EXPECT_EQ(RecoveryCodes::parse(RecoveryCodes::text(codes)), codes);
}

} // namespace
