// SPDX-License-Identifier: GPL-3.0-or-later
#include "MigrationPayload.hpp"

#include <OTPCore/Base32.hpp>
#include <OTPCore/OTPMigration.hpp>
#include <algorithm>
#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::TestPayload;

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

TEST(OTPMigrationParse, ReadsAccountsInOrder) {
    const Bytes payload = bytesField(1, account(hello, "Acme:alice", "")) +
                          bytesField(1, account({1, 2}, "bob", "Example", 2, 2, 2)) +
                          bytesField(1, account({3}, "carol", "", 2, 3, 0));
    const auto batch = readPayload(payload);
    const std::vector<OTPAuthEntry> expected = {
        {"Acme", "alice", hello, OTPParameters::standard()},
        {"Example", "bob", {1, 2}, parameters(OTPAlgorithm::sha256, 8)},
        {"", "carol", {3}, parameters(OTPAlgorithm::sha512, 6)}};
    EXPECT_EQ(batch, (ImportBatch{expected, {}, {}}));
}

TEST(OTPMigrationParse, PrefersTheIssuerFieldOverTheLabel) {
    const auto batch = readPayload(bytesField(1, account(hello, "Acme:alice", " Example\t")));
    ASSERT_EQ(batch.entries.size(), 1u);
    EXPECT_EQ(batch.entries[0].issuer, "Example");
    EXPECT_EQ(batch.entries[0].name, "alice");
    EXPECT_EQ(readPayload(bytesField(1, account(hello, "Acme:alice", " "))).entries[0].issuer,
              "Acme");
}

TEST(OTPMigrationParse, MapsUnspecifiedAndMissingValuesToDefaults) {
    const Bytes minimal = bytesField(1, hello) + varintField(6, 2);
    EXPECT_EQ(readPayload(bytesField(1, minimal)).entries,
              (std::vector<OTPAuthEntry>{{"", "", hello, OTPParameters::standard()}}));
    const Bytes zeros = account(hello, "z", "", 2, 0, 0);
    EXPECT_EQ(readPayload(bytesField(1, zeros)).entries[0].parameters, OTPParameters::standard());
    const Bytes wrongTypes = bytesField(1, hello) + textField(4, "x") + fixed32Field(5) +
                             varintField(6, 2) + textField(2, "w");
    EXPECT_EQ(readPayload(bytesField(1, wrongTypes)).entries[0].parameters,
              OTPParameters::standard());
}

// One row per skip reason and boundary; the last rows show the order of the checks: type,
// algorithm, digits, then secret.
TEST(OTPMigrationParse, SkipsAccountsItCannotTakeWithTheirTitle) {
    using enum ImportSkipReason;
    const std::pair<Bytes, ImportSkipReason> cases[] = {
        {account(hello, "n", "", 1), hotp},
        {account(hello, "n", "", 0), unsupportedType},
        {bytesField(1, hello) + textField(2, "n"), unsupportedType},
        {bytesField(1, hello) + textField(6, "\x02"), unsupportedType},
        {account(hello, "n", "", 2, 4), unsupportedAlgorithm},
        {account(hello, "n", "", 2, UINT64_MAX), unsupportedAlgorithm},
        {account(hello, "n", "", 2, 1, 3), invalidParameters},
        {account({}, "n", "", 2), emptySecret},
        {textField(2, "n") + varintField(6, 2), emptySecret},
        {varintField(1, 5) + varintField(6, 2), emptySecret},
        {account({}, "n", "", 1, 4, 3), hotp},
        {account({}, "n", "", 2, 4, 3), unsupportedAlgorithm},
        {account({}, "n", "", 2, 1, 3), invalidParameters},
    };
    for (const auto& [message, reason] : cases) {
        EXPECT_EQ(onlySkipReason(message), reason) << ::testing::PrintToString(message);
    }
    const auto batch = readPayload(bytesField(1, account(hello, "Acme:alice", "Example", 1)));
    EXPECT_EQ(batch.skipped, (std::vector<ImportSkip>{{"Example · alice", hotp}}));
    const auto untitled = readPayload(bytesField(1, account({}, "", "", 2)));
    EXPECT_EQ(untitled.skipped, (std::vector<ImportSkip>{{"", emptySecret}}));
}

TEST(OTPMigrationParse, UsesTheLastOccurrenceOfAField) {
    const Bytes laterType = account(hello, "n", "", 1) + varintField(6, 2);
    EXPECT_EQ(readPayload(bytesField(1, laterType)).entries.size(), 1u);
    const Bytes laterWrongType = account(hello, "n", "", 2) + textField(6, "");
    EXPECT_EQ(onlySkipReason(laterWrongType), ImportSkipReason::unsupportedType);
    const Bytes laterSecret = account(hello, "n", "", 2) + bytesField(1, {9});
    EXPECT_EQ(readPayload(bytesField(1, laterSecret)).entries[0].secret, Bytes{9});
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
    EXPECT_EQ(readPayload(varintField(3, 2)).migrationParts, (std::vector<MigrationPart>{{0, 2}}));
    EXPECT_EQ(readPayload(varintField(4, 1) + varintField(3, 2) + textField(4, "")).migrationParts,
              (std::vector<MigrationPart>{{0, 2}}));
    EXPECT_EQ(readPayload(varintField(3, UINT64_MAX) + varintField(4, UINT64_MAX)).migrationParts,
              (std::vector<MigrationPart>{{INT64_MAX, INT64_MAX}}));
    for (const Bytes& payload :
         {varintField(3, 1), varintField(3, 0), textField(3, "\x03"),
          varintField(3, 3) + textField(3, "\x03"), varintField(4, 1), Bytes{}}) {
        EXPECT_TRUE(readPayload(payload).migrationParts.empty());
    }
}

TEST(OTPMigrationParse, GivesAnEmptyBatchForAPayloadWithoutAccounts) {
    EXPECT_EQ(readPayload(varintField(2, 1) + varintField(5, 9)), ImportBatch{});
    EXPECT_EQ(read("otpauth-migration://offline?data="), ImportBatch{});
    EXPECT_EQ(read("otpauth-migration://offline?data=EAEYACAAKOfg%2B%2FgC"), ImportBatch{});
}

TEST(OTPMigrationParse, FailsWholeWhenOneAccountMessageIsMalformed) {
    const Bytes good = bytesField(1, account(hello, "a", ""));
    const Bytes truncated = bytesField(1, Bytes{0x0A, 0x05, 'x'});
    EXPECT_EQ(OTPMigration::parse(link(good + truncated + good)), std::nullopt);
    EXPECT_EQ(OTPMigration::parse(link(good + Bytes{0x0A})), std::nullopt);
    EXPECT_EQ(
        OTPMigration::parse(
            "otpauth-migration://offline?data=CiMKCskCjMDVZlPV3OQSD015IFRlc3QgQWNjb3VudCABKAEw"),
        std::nullopt);
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
    for (const std::string& data : std::vector<std::string>{
             body + "===", body.substr(0, 4) + "==" + body.substr(4), body + "==AA", body + "=A",
             "A", "Q===", body + "*", body + "%2E"}) {
        EXPECT_EQ(OTPMigration::parse("otpauth-migration://offline?data=" + data), std::nullopt)
            << data;
    }
}

TEST(OTPMigrationParse, RequiresTheSchemeAndAnExactDataItem) {
    const std::string data =
        "data=" + percentEncoded(base64(bytesField(1, account(hello, "n", ""))));
    EXPECT_TRUE(OTPMigration::parse("OTPAUTH-MIGRATION://offline?" + data));
    EXPECT_TRUE(OTPMigration::parse(" otpauth-migration:?x&" + data + "&data=AAAA\n"));
    EXPECT_TRUE(OTPMigration::parse("otpauth-migration://online?" + data));
    for (const std::string& text : std::vector<std::string>{
             "otpauth-migration://offline", "otpauth-migration://offline?",
             "otpauth-migration://offline?data", "otpauth-migration://offline?data&" + data,
             "otpauth-migration://offline?DATA=" + data.substr(5), "otpauth://offline?" + data,
             "offline?" + data, data, "otpauth-migration://offline?da ta=AAAA"}) {
        EXPECT_EQ(OTPMigration::parse(text), std::nullopt) << text;
    }
}

// Real exports with the accounts their projects list.
namespace {

struct ExpectedAccount {
    std::string issuer;
    std::string name;
    std::string secret;
    OTPAlgorithm algorithm = OTPAlgorithm::sha1;
    std::int64_t digits = 6;
};

void expectAccounts(const std::string& link, const std::vector<ExpectedAccount>& accounts,
                    std::size_t hotpSkips = 0, std::optional<MigrationPart> part = std::nullopt) {
    const auto batch = OTPMigration::parse(link);
    ASSERT_TRUE(batch) << link;
    ASSERT_EQ(batch->entries.size(), accounts.size()) << link;
    for (std::size_t index = 0; index < accounts.size(); ++index) {
        const ExpectedAccount& expected = accounts[index];
        EXPECT_EQ(batch->entries[index],
                  OTPAuthEntry(expected.issuer, expected.name, *Base32::decode(expected.secret),
                               *OTPParameters::make(expected.algorithm, expected.digits, 30)))
            << link << " #" << index;
    }
    EXPECT_EQ(batch->skipped.size(), hotpSkips);
    for (const ImportSkip& skip : batch->skipped) {
        EXPECT_EQ(skip.reason, ImportSkipReason::hotp);
    }
    EXPECT_EQ(batch->migrationParts,
              part ? std::vector<MigrationPart>{*part} : std::vector<MigrationPart>{});
}

} // namespace

TEST(OTPMigrationExports, DecodeToTheAccountsTheirProjectsList) {
    expectAccounts("otpauth-migration://"
                   "offline?data="
                   "CjoKFD1jwRTgK6xTGKA0gdTWaGMebxmTEg1UT1RQZ2VuZXJhdG9yGg1UT1RQZ2VuZXJhdG9yIAMoAjA"
                   "CEAEYASAAKJ2G1g0%3D",
                   {{"TOTPgenerator", "TOTPgenerator", "HVR4CFHAFOWFGGFAGSA5JVTIMMPG6GMT",
                     OTPAlgorithm::sha512, 8}});
    expectAccounts("otpauth-migration://offline?data=CjsKFBHMQnKu/odWlB/"
                   "zUy+dfiRIaHj0EhhFeGFtcGxlOmFsaWNlQGdvb2dsZS5jb20aB0V4YW1wbGUwAg==",
                   {{"Example", "alice@google.com", "CHGEE4VO72DVNFA76NJS7HL6EREGQ6HU"}});
    expectAccounts(
        "otpauth-migration://offline?data=CiMKCskCjMDVZlPV3OQSD015IFRlc3QgQWNjb3VudCABKAEwAhAB",
        {{"", "My Test Account", "ZEBIZQGVMZJ5LXHE"}});
    expectAccounts("otpauth-migration://"
                   "offline?data="
                   "CigKFFVUVURPbmFMMXd1cDlBSVZHOUVjEgRUZXN0GgRUZXN0IAEoAjACCi8KCkhlbGxvId6tvu8SEGF"
                   "saWNlQGdvb2dsZS5jb20aB0V4YW1wbGUgASgBMAE4BxABGAEgAA%3D%3D",
                   {{"Test", "Test", "KVKFKRCPNZQUYMLXOVYDSQKJKZDTSRLD", OTPAlgorithm::sha1, 8}},
                   1);
    expectAccounts(
        "otpauth-migration://"
        "offline?data=Cj8KFG423VA%2BmkFuqplxC%2BfgO%"
        "2BASoafzEhtBQ01FOnR3ZW50eS1vbmVAZXhhbXBsZS5jb20aBEFDTUUgASgBMAIKPwoUZ5RKVxJWL7P5RcYBhy5tQL"
        "80ycISG0FDTUU6dHdlbnR5LXR3b0BleGFtcGxlLmNvbRoEQUNNRSABKAEwAhABGAMgAijYkYF4",
        {{"ACME", "twenty-one@example.com", "NY3N2UB6TJAW5KUZOEF6PYB34AJKDJ7T"},
         {"ACME", "twenty-two@example.com", "M6KEUVYSKYX3H6KFYYAYOLTNIC7TJSOC"}},
        0, MigrationPart{2, 3});
}
