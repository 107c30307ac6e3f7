// SPDX-License-Identifier: GPL-3.0-or-later
#include "MigrationPayload.hpp"

#include <OTPCore/Base32.hpp>
#include <OTPCore/OTPMigration.hpp>
#include <OTPCore/Protobuf.hpp>
#include <algorithm>
#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::TestPayload;
using Protobuf::Field;
using Protobuf::Value;

namespace {

const Bytes hello = {'H', 'e', 'l', 'l', 'o', '!', 0xDE, 0xAD, 0xBE, 0xEF};

ImportBatch read(const std::string& text) {
    auto batch = OTPMigration::parse(text);
    EXPECT_TRUE(batch.has_value()) << text;
    return batch ? std::move(*batch) : ImportBatch{};
}

ImportBatch readPayload(const Bytes& payload) {
    return read(link(payload));
}

ImportSkipReason onlySkipReason(const Bytes& account) {
    const auto batch = readPayload(bytesField(1, account));
    EXPECT_TRUE(batch.entries.empty());
    EXPECT_EQ(batch.skipped.size(), 1u);
    return batch.skipped.empty() ? ImportSkipReason::duplicate : batch.skipped.front().reason;
}

OTPParameters parameters(OTPAlgorithm algorithm, std::int64_t digits) {
    return *OTPParameters::make(algorithm, digits, 30);
}

} // namespace

// The issuer field wins over the label's issuer unless it is blank; unspecified and missing
// values read as the defaults.
TEST(OTPMigrationParse, ReadsAccountsInOrderWithDefaultsForMissingValues) {
    const Bytes payload = bytesField(1, account(hello, "Acme:alice", " ")) +
                          bytesField(1, account({1, 2}, "Acme:bob", " Example\t", 2, 2, 2)) +
                          bytesField(1, account({3}, "carol", "", 2, 3, 0)) +
                          bytesField(1, bytesField(1, hello) + varintField(6, 2)) +
                          bytesField(1, account(hello, "z", "", 2, 0, 0));
    const std::vector<OTPAuthEntry> expected = {
        {"Acme", "alice", hello, OTPParameters::standard()},
        {"Example", "bob", {1, 2}, parameters(OTPAlgorithm::sha256, 8)},
        {"", "carol", {3}, parameters(OTPAlgorithm::sha512, 6)},
        {"", "", hello, OTPParameters::standard()},
        {"", "z", hello, OTPParameters::standard()}};
    EXPECT_EQ(readPayload(payload), (ImportBatch{expected, {}, {}}));
}

// One row per skip reason and boundary; the last rows show the order of the checks: type,
// algorithm, digits, then secret. (A titled skip is among the real exports below.)
TEST(OTPMigrationParse, SkipsAccountsItCannotTakeWithTheirTitle) {
    using enum ImportSkipReason;
    const std::pair<Bytes, ImportSkipReason> cases[] = {
        {account(hello, "n", "", 1), hotp},
        {account(hello, "n", "", 0), unsupportedType},
        {bytesField(1, hello) + textField(6, "\x02"), unsupportedType},
        {account(hello, "n", "", 2, 4), unsupportedAlgorithm},
        {account(hello, "n", "", 2, 1, 3), invalidParameters},
        {textField(2, "n") + varintField(6, 2), emptySecret},
        {account({}, "n", "", 1, 4, 3), hotp},
        {account({}, "n", "", 2, 4, 3), unsupportedAlgorithm},
        {account({}, "n", "", 2, 1, 3), invalidParameters},
    };
    for (const auto& [message, reason] : cases) {
        EXPECT_EQ(onlySkipReason(message), reason) << ::testing::PrintToString(message);
    }
    const auto untitled = readPayload(bytesField(1, account({}, "", "", 2)));
    EXPECT_EQ(untitled.skipped, (std::vector<ImportSkip>{{"", emptySecret}}));
}

TEST(OTPMigrationParse, UsesTheLastOccurrenceOfAField) {
    const Bytes laterType = account(hello, "n", "", 1) + varintField(6, 2);
    EXPECT_EQ(readPayload(bytesField(1, laterType)).entries.size(), 1u);
    const Bytes laterName = account(hello, "first", "", 2) + textField(2, "second");
    EXPECT_EQ(readPayload(bytesField(1, laterName)).entries[0].name, "second");
}

TEST(OTPMigrationParse, JoinsEntriesBeforeSkipsAndReplacesIllFormedText) {
    const Bytes payload = bytesField(1, account(hello, "a", "", 1)) +
                          bytesField(1, account(hello, "b\xFF", "")) + varintField(1, 7) +
                          fixed32Field(1) + bytesField(1, account(hello, "c", "", 0));
    const auto batch = readPayload(payload);
    ASSERT_EQ(batch.entries.size(), 1u);
    EXPECT_EQ(batch.entries[0].name, "b\uFFFD");
    EXPECT_EQ(batch.skipped, (std::vector<ImportSkip>{{"a", ImportSkipReason::hotp},
                                                      {"c", ImportSkipReason::unsupportedType}}));
}

TEST(OTPMigrationParse, ReportsThePartOfAMultiCodeExport) {
    EXPECT_EQ(readPayload(varintField(3, 3) + varintField(4, 1)).migrationParts,
              (std::vector<MigrationPart>{{1, 3}}));
    EXPECT_EQ(readPayload(varintField(4, 1) + varintField(3, 2) + textField(4, "")).migrationParts,
              (std::vector<MigrationPart>{{0, 2}}));
    EXPECT_EQ(readPayload(varintField(3, UINT64_MAX) + varintField(4, UINT64_MAX)).migrationParts,
              (std::vector<MigrationPart>{{INT64_MAX, INT64_MAX}}));
    for (const Bytes& payload :
         {varintField(3, 1), varintField(3, 3) + textField(3, "\x03"), varintField(4, 1)}) {
        EXPECT_TRUE(readPayload(payload).migrationParts.empty());
    }
}

TEST(OTPMigrationParse, FailsWholeWhenOneAccountMessageIsMalformed) {
    const Bytes good = bytesField(1, account(hello, "a", ""));
    const Bytes truncated = bytesField(1, Bytes{0x0A, 0x05, 'x'});
    EXPECT_EQ(OTPMigration::parse(link(good + truncated + good)), std::nullopt);
}

TEST(OTPMigrationParse, AcceptsTheBase64FormsExportsUse) {
    const Bytes payload = bytesField(1, account({0xFB, 0xFF, 0xBF}, "n", ""));
    const std::string standard = base64(payload);
    ASSERT_NE(standard.find_first_of("+/"), std::string::npos) << standard;
    std::string urlSafe = standard;
    std::ranges::replace(urlSafe, '+', '-');
    std::ranges::replace(urlSafe, '/', '_');
    std::string spaced; // a "+" that became a space on its way through a URL
    for (const char character : standard) {
        spaced += character == '+' ? std::string("%20") : std::string(1, character);
    }
    for (const std::string& data : {standard, percentEncoded(standard), urlSafe,
                                    standard.substr(0, standard.find('=')), spaced}) {
        const auto batch = OTPMigration::parse("otpauth-migration://offline?data=" + data);
        ASSERT_TRUE(batch) << data;
        ASSERT_EQ(batch->entries.size(), 1u) << data;
        EXPECT_EQ(batch->entries[0].secret, (Bytes{0xFB, 0xFF, 0xBF})) << data;
    }
}

TEST(OTPMigrationParse, RefusesBase64ThatIsNotStrict) {
    const std::string good = base64(bytesField(1, account(hello, "n", ""))); // ends with "=="
    ASSERT_TRUE(good.ends_with("==")) << good;
    const std::string body = good.substr(0, good.size() - 2);
    for (const std::string& data :
         std::vector<std::string>{body + "===", body.substr(0, 4) + "==" + body.substr(4),
                                  body + "=A", "A", "Q===", body + "*"}) {
        EXPECT_EQ(OTPMigration::parse("otpauth-migration://offline?data=" + data), std::nullopt)
            << data;
    }
}

TEST(OTPMigrationParse, RequiresTheSchemeAndAnExactDataItem) {
    const std::string data =
        "data=" + percentEncoded(base64(bytesField(1, account(hello, "n", ""))));
    EXPECT_TRUE(OTPMigration::parse("OTPAUTH-MIGRATION://offline?" + data));
    EXPECT_TRUE(OTPMigration::parse(" otpauth-migration:?x&" + data + "&data=AAAA\n"));
    for (const std::string& text : std::vector<std::string>{
             "otpauth-migration://offline", "otpauth-migration://offline?data&" + data,
             "otpauth-migration://offline?DATA=" + data.substr(5), "otpauth://offline?" + data}) {
        EXPECT_EQ(OTPMigration::parse(text), std::nullopt) << text;
    }
}

// Real exports with the accounts their projects list (more are read from files by the import
// parser's tests).
TEST(OTPMigrationExports, DecodeToTheAccountsTheirProjectsList) {
    EXPECT_EQ(read("otpauth-migration://offline?data="
                   "CigKFFVUVURPbmFMMXd1cDlBSVZHOUVjEgRUZXN0GgRUZXN0IAEoAjACCi8KCkhlbGxvId6tvu8SEGF"
                   "saWNlQGdvb2dsZS5jb20aB0V4YW1wbGUgASgBMAE4BxABGAEgAA%3D%3D"),
              (ImportBatch{{{"Test", "Test", *Base32::decode("KVKFKRCPNZQUYMLXOVYDSQKJKZDTSRLD"),
                             parameters(OTPAlgorithm::sha1, 8)}},
                           {{"Example \u00B7 alice@google.com", ImportSkipReason::hotp}},
                           {}}));
}

// The wire format under the migration payload.
TEST(ProtobufFields, ReadsEveryKeptWireTypeInOrderWithRepeats) {
    const Bytes message = varintField(1, 150) + textField(2, "hi") + fixed64Field(3) +
                          fixed32Field(4) + varintField(1, 0) + bytesField(2, {});
    const std::vector<Field> expected = {{1, Value::varint(150)}, {2, Value::bytes({'h', 'i'})},
                                         {3, Value::fixed()},     {4, Value::fixed()},
                                         {1, Value::varint(0)},   {2, Value::bytes({})}};
    EXPECT_EQ(Protobuf::fields(message), expected);
}

// Besides fields cut short: numbers out of range, groups and undefined wire types.
TEST(ProtobufFields, RefusesFieldsCutShortOrOfNoKeptKind) {
    const Bytes cases[] = {
        Bytes{0x09, 1, 2, 3, 4, 5, 6, 7},          // 64-bit with 7 bytes
        Bytes{0x12, 0x03, 'a', 'b'},               // length past the end
        Bytes{0x08, 0xFF},                         // unfinished varint
        varintField(1, 1) + Bytes{0x12, 0x05},     // good field, then a bad one
        Bytes{0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}, // length of 4 GiB
        varintField(1ull << 31, 7),                // field number 2^31
        Bytes{0x00, 0x01},                         // field number 0
        Bytes{0x0B, 0, 0, 0, 0, 0, 0, 0, 0},       // group start
        Bytes{0x0E, 0, 0, 0, 0, 0, 0, 0, 0},       // type 6
    };
    for (const Bytes& message : cases) {
        EXPECT_EQ(Protobuf::fields(message), std::nullopt) << ::testing::PrintToString(message);
    }
    EXPECT_EQ(Protobuf::fields(varintField((1ull << 31) - 1, 7)),
              (std::vector<Field>{{2147483647, Value::varint(7)}}));
}

TEST(ProtobufVarint, ReadsTenBytesAndDropsBitsBeyondTheSixtyFourth) {
    EXPECT_EQ(Protobuf::fields(varintField(1, UINT64_MAX)),
              (std::vector<Field>{{1, Value::varint(UINT64_MAX)}}));
    const Bytes tenthByteTwo = {0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02};
    EXPECT_EQ(Protobuf::fields(tenthByteTwo), (std::vector<Field>{{1, Value::varint(INT64_MAX)}}));
    const Bytes elevenBytes = {0x08, 0x80, 0x80, 0x80, 0x80, 0x80,
                               0x80, 0x80, 0x80, 0x80, 0x80, 0x00};
    EXPECT_EQ(Protobuf::fields(elevenBytes), std::nullopt);
}
