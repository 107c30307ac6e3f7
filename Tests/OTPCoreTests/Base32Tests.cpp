// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/Base32.hpp>
#include <gtest/gtest.h>

using namespace zemlar;

TEST(Base32, DecodingTakesCaseSeparatorsAndPaddingAnywhereAndDropsTrailingBits) {
    for (const char* text : {"MZXW6", "mzxw6===", "MZ XW-6", "MZXW6\n", "=M\tZ\rXW6", "mZxW6"}) {
        EXPECT_EQ(Base32::decode(text), (Bytes{'f', 'o', 'o'})) << text;
    }
    EXPECT_EQ(Base32::decode("AB"), Bytes{0});
    EXPECT_EQ(Base32::decode("77"), Bytes{0xFF});
}

TEST(Base32, DecodingRefusesTextOutsideTheAlphabetOrWithoutAWholeByte) {
    for (const char* text : {"MZXW1", "MZXW0", "MZXW8", "MZXW9", "", "====", "A", "MZ.XW6",
                             "MZXW6\xC3\xA9", " - \n"}) {
        EXPECT_EQ(Base32::decode(text), std::nullopt) << text;
    }
}

// RFC 4648's "foobar", written loosely, comes back unpadded in upper case.
TEST(Base32, EncodingWritesTheCanonicalFormAndRoundTripsEveryLength) {
    EXPECT_EQ(Base32::encode(*Base32::decode("mzxw-6ytb oi======")), "MZXW6YTBOI");
    for (std::size_t length = 1; length <= 64; ++length) {
        Bytes bytes(length);
        for (std::size_t index = 0; index < length; ++index) {
            bytes[index] = static_cast<std::uint8_t>(index * 37 + length * 11);
        }
        const std::string text = Base32::encode(bytes);
        EXPECT_EQ(Base32::decode(text), bytes) << length;
    }
}
