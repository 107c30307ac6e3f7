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
    const auto repeated = KeyStrokes::forCode("9009", false);
    ASSERT_TRUE(repeated.has_value());
    EXPECT_EQ(*repeated, (std::vector<KeyStroke>{{25, "9"}, {29, "0"}, {29, "0"}, {25, "9"}}));
}

TEST(KeyStrokes, AppendsReturnOnlyWhenAsked) {
    const auto plan = KeyStrokes::forCode("012345", true);
    ASSERT_TRUE(plan.has_value());
    ASSERT_EQ(plan->size(), 7u);
    EXPECT_EQ(plan->back(), KeyStrokes::returnKey);
    EXPECT_EQ(plan->back().keyCode, 36);
    EXPECT_EQ(plan->back().text, "\r");
    EXPECT_EQ(std::count(plan->begin(), plan->end(), KeyStrokes::returnKey), 1);
    EXPECT_EQ(KeyStrokes::forCode("012345", false)->size(), 6u);
}

TEST(KeyStrokes, RefusesAnythingButASCIIDigits) {
    EXPECT_FALSE(KeyStrokes::forCode("", false).has_value());
    EXPECT_FALSE(KeyStrokes::forCode("", true).has_value());
    EXPECT_FALSE(KeyStrokes::forCode("123 456", false).has_value());
    EXPECT_FALSE(KeyStrokes::forCode("12345a", true).has_value());
    EXPECT_FALSE(KeyStrokes::forCode("\xD9\xA1\xD9\xA2\xD9\xA3", false).has_value()); // ١٢٣
    EXPECT_FALSE(KeyStrokes::forCode("123\xD9\xA4", false).has_value());
    EXPECT_FALSE(KeyStrokes::forCode(std::string_view("12\0"
                                                      "34",
                                                      5),
                                     false)
                     .has_value());
    EXPECT_FALSE(KeyStrokes::forCode("-12", false).has_value());
    EXPECT_FALSE(KeyStrokes::forCode("1234\r", false).has_value());
}
