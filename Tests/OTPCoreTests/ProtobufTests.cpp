// SPDX-License-Identifier: GPL-3.0-or-later
#include "MigrationPayload.hpp"

#include <OTPCore/Protobuf.hpp>
#include <gtest/gtest.h>
#include <vector>

using namespace zemlar;
using namespace zemlar::TestPayload;
using Protobuf::Field;
using Protobuf::Value;

TEST(ProtobufFields, ReadsEveryKeptWireTypeInOrderWithRepeats) {
    const Bytes message = varintField(1, 150) + textField(2, "hi") + fixed64Field(3) +
                          fixed32Field(4) + varintField(1, 0) + bytesField(2, {});
    const std::vector<Field> expected = {{1, Value::varint(150)}, {2, Value::bytes({'h', 'i'})},
                                         {3, Value::fixed()},     {4, Value::fixed()},
                                         {1, Value::varint(0)},   {2, Value::bytes({})}};
    EXPECT_EQ(Protobuf::fields(message), expected);
    EXPECT_EQ(Protobuf::fields(Bytes{}), std::vector<Field>{});
}

TEST(ProtobufFields, AcceptsTheWholeFieldNumberRange) {
    const auto fields = Protobuf::fields(varintField((1ull << 31) - 1, 7) + varintField(1, 1));
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->front().number, 2147483647);
    EXPECT_EQ(Protobuf::fields(varintField(1ull << 31, 7)), std::nullopt);
    EXPECT_EQ(Protobuf::fields(Bytes{0x00, 0x01}), std::nullopt);       // field number 0
    EXPECT_EQ(Protobuf::fields(Bytes{0x07, 0x01}), std::nullopt);       // number 0, type 7
    EXPECT_EQ(Protobuf::fields(Bytes{0x80, 0x00, 0x01}), std::nullopt); // key 0, long form
}

TEST(ProtobufFields, RefusesGroupsAndUndefinedWireTypes) {
    for (const int type : {3, 4, 6, 7}) {
        EXPECT_EQ(
            Protobuf::fields(Bytes{static_cast<std::uint8_t>(8 | type), 0, 0, 0, 0, 0, 0, 0, 0}),
            std::nullopt)
            << int(type);
    }
}

TEST(ProtobufFields, RefusesFieldsCutShort) {
    const Bytes cases[] = {
        Bytes{0x09, 1, 2, 3, 4, 5, 6, 7},          // 64-bit with 7 bytes
        Bytes{0x0D, 1, 2, 3},                      // 32-bit with 3 bytes
        Bytes{0x12, 0x03, 'a', 'b'},               // length past the end
        Bytes{0x12},                               // no length
        Bytes{0x12, 0x80},                         // unfinished length
        Bytes{0x08},                               // varint at the very end
        Bytes{0x08, 0xFF},                         // unfinished varint
        Bytes{0x88},                               // unfinished key
        varintField(1, 1) + Bytes{0x12, 0x05},     // good field, then a bad one
        Bytes{0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}, // length of 4 GiB
    };
    for (const Bytes& message : cases) {
        EXPECT_EQ(Protobuf::fields(message), std::nullopt) << ::testing::PrintToString(message);
    }
    EXPECT_EQ(Protobuf::fields(Bytes{0x0D, 1, 2, 3, 4}), (std::vector<Field>{{1, Value::fixed()}}));
    EXPECT_EQ(Protobuf::fields(Bytes{0x12, 0x00}), (std::vector<Field>{{2, Value::bytes({})}}));
}

TEST(ProtobufVarint, ReadsTenBytesAndDropsBitsBeyondTheSixtyFourth) {
    EXPECT_EQ(Protobuf::fields(varintField(1, UINT64_MAX)),
              (std::vector<Field>{{1, Value::varint(UINT64_MAX)}}));
    const Bytes tenthByteHigh = {0x08, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x7F};
    EXPECT_EQ(Protobuf::fields(tenthByteHigh),
              (std::vector<Field>{{1, Value::varint(1ull << 63)}}));
    const Bytes tenthByteTwo = {0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02};
    EXPECT_EQ(Protobuf::fields(tenthByteTwo), (std::vector<Field>{{1, Value::varint(INT64_MAX)}}));
    const Bytes elevenBytes = {0x08, 0x80, 0x80, 0x80, 0x80, 0x80,
                               0x80, 0x80, 0x80, 0x80, 0x80, 0x00};
    EXPECT_EQ(Protobuf::fields(elevenBytes), std::nullopt);
    EXPECT_EQ(Protobuf::fields(Bytes{0x08, 0x80, 0x00}),
              (std::vector<Field>{{1, Value::varint(0)}}));
}
