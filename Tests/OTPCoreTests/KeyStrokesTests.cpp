// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/KeyStrokes.hpp>
#include <algorithm>
#include <gtest/gtest.h>

using namespace zemlar;

namespace {

std::vector<std::uint16_t> keyCodes(const std::vector<KeyStroke>& strokes) {
    std::vector<std::uint16_t> codes;
    for (const KeyStroke& stroke : strokes) {
        codes.push_back(stroke.keyCode);
    }
    return codes;
}

} // namespace

TEST(KeyStrokes, MapsEveryDigitToItsTopRowKey) {
    const auto plan = KeyStrokes::forCode("0123456789", false);
    ASSERT_TRUE(plan.has_value());
    EXPECT_EQ(keyCodes(*plan),
              (std::vector<std::uint16_t>{29, 18, 19, 20, 21, 23, 22, 26, 28, 25}));
    for (std::size_t index = 0; index < plan->size(); ++index) {
        EXPECT_EQ((*plan)[index].text, std::string(1, static_cast<char>('0' + index)));
    }
}

TEST(KeyStrokes, KeepsTheOrderOfTheCodeAndItsRepeats) {
    EXPECT_EQ(KeyStrokes::forCode("9009", false),
              (std::vector<KeyStroke>{{25, "9"}, {29, "0"}, {29, "0"}, {25, "9"}}));
}

TEST(KeyStrokes, AppendsReturnOnlyWhenAsked) {
    const auto plan = KeyStrokes::forCode("012345", true);
    ASSERT_TRUE(plan.has_value());
    ASSERT_EQ(plan->size(), 7u);
    EXPECT_EQ(plan->back(), (KeyStroke{36, "\r"}));
    EXPECT_EQ(KeyStrokes::forCode("012345", false)->size(), 6u);
}

TEST(KeyStrokes, RefusesAnythingButASCIIDigits) {
    EXPECT_FALSE(KeyStrokes::forCode("", true).has_value());
    using namespace std::string_view_literals;
    for (const auto code : {"123 456"sv, "12345a"sv, "\xD9\xA1\xD9\xA2\xD9\xA3"sv /* ١٢٣ */,
                            "12\0"
                            "34"sv,
                            "-12"sv, "1234\r"sv}) {
        EXPECT_FALSE(KeyStrokes::forCode(code, false).has_value()) << code;
    }
}
