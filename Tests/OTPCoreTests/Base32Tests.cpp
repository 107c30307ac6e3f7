// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/Base32.hpp>
#include <gtest/gtest.h>

using namespace zemlar;

namespace {

const Bytes foo = {'f', 'o', 'o'};

TEST(Base32Decode, AcceptsCaseSeparatorsAndPaddingAnywhere) {
    for (const char* text : {"MZXW6", "mzxw6===", "MZ XW-6", "MZXW6\n", "=M\tZ\rXW6", "mZxW6"}) {
        EXPECT_EQ(Base32::decode(text), foo) << text;
    }
}

TEST(Base32Decode, RefusesTextOutsideTheAlphabetOrWithoutAWholeByte) {
    for (const char* text : {"MZXW1", "MZXW0", "MZXW8", "MZXW9", "", "====", "A", "MZ.XW6",
                             "MZXW6\xC3\xA9", " - \n"}) {
        EXPECT_EQ(Base32::decode(text), std::nullopt) << text;
    }
}

TEST(Base32Decode, DropsTrailingBitsWithoutCheckingThem) {
    EXPECT_EQ(Base32::decode("AA"), Bytes{0});
    EXPECT_EQ(Base32::decode("AB"), Bytes{0});
    EXPECT_EQ(Base32::decode("77"), Bytes{0xFF});
}

TEST(Base32Encode, WritesUnpaddedUpperCase) {
    EXPECT_EQ(Base32::encode(foo), "MZXW6");
    EXPECT_EQ(Base32::encode(Bytes{}), "");
    // RFC 4648 test vector "foobar", written loosely, comes back in the canonical form.
    EXPECT_EQ(Base32::encode(*Base32::decode("mzxw-6ytb oi======")), "MZXW6YTBOI");
    const std::pair<std::size_t, std::size_t> lengths[] = {{1, 2}, {2, 4}, {3, 5}, {4, 7}, {5, 8}};
    for (const auto& [bytes, letters] : lengths) {
        EXPECT_EQ(Base32::encode(Bytes(bytes, 0xA5)).size(), letters) << bytes;
    }
}

TEST(Base32, RoundTripsEveryLengthAndByteValue) {
    for (std::size_t length = 1; length <= 64; ++length) {
        Bytes bytes(length);
        for (std::size_t index = 0; index < length; ++index) {
            bytes[index] = static_cast<std::uint8_t>(index * 37 + length * 11);
        }
        EXPECT_EQ(Base32::decode(Base32::encode(bytes)), bytes) << length;
    }
}

} // namespace
