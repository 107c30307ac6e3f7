// SPDX-License-Identifier: GPL-3.0-or-later
// The character classes and the ASCII shortcuts of OTPCore/Unicode.hpp against ICU's own
// properties, over every code point.
#include <OTPCore/Unicode.hpp>
#include <gtest/gtest.h>
#include <unicode/uchar.h>

using namespace zemlar;

namespace {

constexpr char32_t lastCodePoint = 0x10FFFF;

TEST(UnicodeClasses, WhitespaceIsTheWhiteSpaceProperty) {
    for (char32_t codePoint = 0; codePoint <= lastCodePoint; ++codePoint) {
        ASSERT_EQ(Unicode::isWhitespaceOrNewline(codePoint),
                  u_isUWhiteSpace(static_cast<UChar32>(codePoint)) != 0)
            << std::hex << static_cast<std::uint32_t>(codePoint);
    }
}

TEST(UnicodeClasses, LetterOrNumberIsGeneralCategoryLOrN) {
    for (char32_t codePoint = 0; codePoint <= lastCodePoint; ++codePoint) {
        const auto mask = U_GET_GC_MASK(static_cast<UChar32>(codePoint));
        ASSERT_EQ(Unicode::isLetterOrNumber(codePoint), (mask & (U_GC_L_MASK | U_GC_N_MASK)) != 0)
            << std::hex << static_cast<std::uint32_t>(codePoint);
    }
}

TEST(UnicodeClasses, BlankIsTabOrSpaceSeparator) {
    for (char32_t codePoint = 0; codePoint <= lastCodePoint; ++codePoint) {
        const bool expected =
            codePoint == 0x09 || u_charType(static_cast<UChar32>(codePoint)) == U_SPACE_SEPARATOR;
        ASSERT_EQ(Unicode::isBlank(codePoint), expected)
            << std::hex << static_cast<std::uint32_t>(codePoint);
    }
}

TEST(UnicodeFolding, LatinTableAgreesWithICUForEveryPairOfItsCodePoints) {
    for (char32_t first = 0x20; first < 0x250; ++first) {
        for (char32_t second = 0x20; second < 0x250; second += (first % 7) + 1) {
            std::string text = "A";
            Unicode::appendCodePoint(text, first);
            Unicode::appendCodePoint(text, second);
            ASSERT_EQ(Unicode::folded(text), Unicode::foldedByICU(text)) << text;
            ASSERT_EQ(Unicode::lowercased(text), Unicode::lowercasedByICU(text)) << text;
        }
    }
}

TEST(UnicodeFolding, ASCIIShortcutAgreesWithICU) {
    std::string every;
    for (int character = 0; character < 128; ++character) {
        every.push_back(static_cast<char>(character));
    }
    EXPECT_EQ(Unicode::folded(every), Unicode::foldedByICU(every));
    EXPECT_EQ(Unicode::lowercased(every), Unicode::folded(every));
}

TEST(UnicodeLowercased, UsesFullMappingInComposedForm) {
    EXPECT_EQ(Unicode::lowercased("ÄBC"), "äbc");
    EXPECT_EQ(Unicode::lowercased("A\u0308"), "ä");
    EXPECT_EQ(Unicode::lowercased("Straße"), "straße");
    EXPECT_EQ(Unicode::lowercased("ＡＢ"), "ａｂ");
}

TEST(UnicodeCodePoints, DecodeEncodeAndReplaceSurrogates) {
    const std::string text = "a\u00E9\u65E5\U0001F600";
    std::size_t offset = 0;
    std::u32string decoded;
    while (offset < text.size()) {
        decoded.push_back(Unicode::nextCodePoint(text, offset));
    }
    EXPECT_EQ(decoded, U"a\u00E9\u65E5\U0001F600");
    std::string encoded;
    for (const char32_t codePoint : decoded) {
        Unicode::appendCodePoint(encoded, codePoint);
    }
    EXPECT_EQ(encoded, text);
    std::string surrogate;
    Unicode::appendCodePoint(surrogate, 0xD800);
    EXPECT_EQ(surrogate, "\uFFFD");
}

} // namespace
