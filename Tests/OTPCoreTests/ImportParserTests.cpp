// SPDX-License-Identifier: GPL-3.0-or-later
#include "MigrationPayload.hpp"

#include <OTPCore/Base32.hpp>
#include <OTPCore/ImportParser.hpp>
#include <OTPCore/ManualEntry.hpp>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace zemlar;

namespace {

const Bytes hello = {'H', 'e', 'l', 'l', 'o', '!', 0xDE, 0xAD, 0xBE, 0xEF};
const std::string aliceLink = "otpauth://totp/Acme:alice?secret=JBSWY3DPEHPK3PXP";
const OTPAuthEntry alice("Acme", "alice", hello, OTPParameters::standard());

std::vector<ImportSkipReason> reasons(const ImportBatch& batch) {
    std::vector<ImportSkipReason> result;
    for (const ImportSkip& skip : batch.skipped) {
        EXPECT_EQ(skip.title, "");
        result.push_back(skip.reason);
    }
    return result;
}

} // namespace

TEST(ImportParserParse, GivesAnEmptyBatchForBlankText) {
    for (const char* text :
         {"", "\u2028\u2029\u0085\v\f", "\xEF\xBB\xBF\n \t\r\n", "\u3000\u00A0"}) {
        EXPECT_EQ(ImportParser::parse(text), ImportBatch{}) << text;
    }
}

TEST(ImportParserParse, SplitsAtEveryLineBreak) {
    for (const char* separator :
         {"\n", "\r", "\r\n", "\v", "\f", "\u0085", "\u2028", "\u2029", "\n \n"}) {
        const auto batch = ImportParser::parse(aliceLink + separator + aliceLink + separator);
        EXPECT_EQ(batch, (ImportBatch{{alice, alice}, {}, {}})) << separator;
    }
}

TEST(ImportParserParse, TrimsBlanksAndByteOrderMarks) {
    EXPECT_EQ(ImportParser::parse("\xEF\xBB\xBF" + aliceLink + "\n").entries,
              std::vector<OTPAuthEntry>{alice});
    EXPECT_EQ(ImportParser::parse(" \t\u3000" + aliceLink + "\u00A0\xEF\xBB\xBF ").entries,
              std::vector<OTPAuthEntry>{alice});
}

TEST(ImportParserParse, DecidesByACaseInsensitivePrefixOfTheTrimmedLine) {
    const auto batch = ImportParser::parse("OTPAUTH://TOTP/Acme:alice?SECRET=JBSWY3DPEHPK3PXP\n"
                                           "Link: " +
                                           aliceLink +
                                           "\n"
                                           "# comment\n"
                                           "otpauth:/totp/x?secret=AA\n"
                                           "https://example.com\n");
    EXPECT_EQ(batch.entries, std::vector<OTPAuthEntry>{alice});
    EXPECT_EQ(reasons(batch), (std::vector<ImportSkipReason>{
                                  ImportSkipReason::unrecognized, ImportSkipReason::unrecognized,
                                  ImportSkipReason::unrecognized, ImportSkipReason::unrecognized}));
}

TEST(ImportParserParse, SkipsRefusedLinksWithOneReasonEach) {
    const auto batch = ImportParser::parse("otpauth://hotp/a?secret=JBSWY3DPEHPK3PXP&counter=1\n"
                                           "otpauth://HOTP/a?secret=AA\n"
                                           "otpauth://abc/a?secret=JBSWY3DPEHPK3PXP\n"
                                           "otpauth://totp/a\n"
                                           "otpauth://totp/a?secret=1\n"
                                           "otpauth://totp/a b?secret=AA\n"
                                           "otpauth://totp/a?secret=AA&digits=9\n"
                                           "otpauth://?secret=AA\n"
                                           "otpauth-migration://offline?data=XXXX\n"
                                           "OTPAUTH-MIGRATION://offline\n" +
                                           aliceLink);
    EXPECT_EQ(batch.entries, std::vector<OTPAuthEntry>{alice});
    using enum ImportSkipReason;
    EXPECT_EQ(reasons(batch),
              (std::vector<ImportSkipReason>{hotp, hotp, invalid, invalid, invalid, invalid,
                                             invalid, invalid, invalid, invalid}));
}

TEST(ImportParserParse, TakesMigrationBatchesOverWholeInLineOrder) {
    using namespace TestPayload;
    const Bytes first = bytesField(1, account(hello, "one", "")) +
                        bytesField(1, account(hello, "hotp", "X", 1)) + varintField(3, 2);
    const Bytes second =
        bytesField(1, account({7}, "two", "", 2, 2)) + varintField(3, 2) + varintField(4, 1);
    const auto batch =
        ImportParser::parse(link(first) + "\nnot a link\n" + aliceLink + "\n" + link(second));
    const std::vector<OTPAuthEntry> entries = {
        {"", "one", hello, OTPParameters::standard()},
        alice,
        {"", "two", {7}, *OTPParameters::make(OTPAlgorithm::sha256, 6, 30)}};
    const std::vector<ImportSkip> skipped = {{"X · hotp", ImportSkipReason::hotp},
                                             {"", ImportSkipReason::unrecognized}};
    EXPECT_EQ(batch, (ImportBatch{entries, skipped, {{0, 2}, {1, 2}}}));
}

TEST(ImportParserParse, NeverLosesMoreThanTheMalformedLine) {
    // Every line of a text with one damaged line in the middle still counts.
    const std::vector<std::string> damaged = {
        "otpauth://totp/a?secret=%",    "otpauth://totp/\xFF?secret=AA",     "\xFF\xFE",
        "otpauth-migration://x?data=%", std::string("otpauth://\0totp", 15), "\xC2"};
    for (const std::string& line : damaged) {
        const auto batch = ImportParser::parse(aliceLink + "\n" + line + "\r\n" + aliceLink);
        EXPECT_EQ(batch.entries.size(), 2u) << line;
        EXPECT_EQ(batch.skipped.size(), 1u) << line;
    }
}

TEST(ImportSkipReasons, HaveTheirScreenTexts) {
    using enum ImportSkipReason;
    const std::pair<ImportSkipReason, std::string_view> texts[] = {
        {unrecognized, "not an otpauth link"},
        {invalid, "damaged link"},
        {hotp, "HOTP is not supported"},
        {unsupportedType, "unknown code type"},
        {unsupportedAlgorithm, "unsupported algorithm"},
        {invalidParameters, "invalid parameters"},
        {emptySecret, "no secret"},
        {duplicate, "already exists"},
        {storageFailed, "couldn't save"}};
    ASSERT_EQ(std::size(texts), ImportSkipReasons::allCases.size());
    for (std::size_t index = 0; index < std::size(texts); ++index) {
        EXPECT_EQ(ImportSkipReasons::allCases[index], texts[index].first);
        EXPECT_EQ(ImportSkipReasons::text(texts[index].first), texts[index].second);
    }
}

TEST(ManualEntryMake, TrimsAndDecodes) {
    const auto entry = ManualEntry::make("  Acme\n", "\talice ",
                                         "jbsw y3dp-ehpk 3pxp==", OTPAlgorithm::sha256, 8, 60);
    ASSERT_TRUE(entry);
    EXPECT_EQ(*entry, OTPAuthEntry("Acme", "alice", hello,
                                   *OTPParameters::make(OTPAlgorithm::sha256, 8, 60)));
    EXPECT_TRUE(ManualEntry::make("", "alice", "JBSWY3DPEHPK3PXP", OTPAlgorithm::sha1, 6, 30));
    EXPECT_TRUE(ManualEntry::make("Acme", "", "JBSWY3DPEHPK3PXP", OTPAlgorithm::sha1, 6, 30));
}

TEST(ManualEntryMake, ReportsTheFirstFailingCheck) {
    const auto error = [](std::string_view issuer, std::string_view name, std::string_view secret,
                          std::int64_t digits, std::int64_t period) {
        const auto result =
            ManualEntry::make(issuer, name, secret, OTPAlgorithm::sha1, digits, period);
        return result ? std::optional<ManualEntryError>() : result.error();
    };
    EXPECT_EQ(error(" \n", "\t\u3000", "not base32!", 10, 0), ManualEntryError::emptyTitle());
    EXPECT_EQ(error("", "alice", "JBSWY3DPEHPK3PX0", 10, 0), ManualEntryError::invalidSecret());
    EXPECT_EQ(error("", "alice", "", 6, 30), ManualEntryError::invalidSecret());
    EXPECT_EQ(error("", "alice", "  ", 6, 30), ManualEntryError::invalidSecret());
    EXPECT_EQ(error("", "alice", "JBSWY3DPEHPK3PXP", 10, 30),
              ManualEntryError::invalidParameters());
    EXPECT_EQ(error("", "alice", "JBSWY3DPEHPK3PXP", 5, 30), ManualEntryError::invalidParameters());
    EXPECT_EQ(error("", "alice", "JBSWY3DPEHPK3PXP", 6, 0), ManualEntryError::invalidParameters());
    EXPECT_EQ(error("", "alice", "JBSWY3DPEHPK3PXP", 7, 1), std::nullopt);
}

// Real export files read in place.
namespace {

const std::filesystem::path externalData = ZEMLAR_SHARED_TESTDATA;

std::optional<std::string> externalFile(const std::string& relative) {
    std::ifstream file(externalData / relative, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::stringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

#define READ_EXTERNAL(variable, relative)                                                          \
    const auto variable = externalFile(relative);                                                  \
    if (!variable) {                                                                               \
        GTEST_SKIP() << "shared test data not found at " << (externalData / relative);             \
    }

OTPAuthEntry raspberry(std::string issuer, std::string name = "pi@raspberrypi") {
    return {std::move(issuer), std::move(name), *Base32::decode("7KSQL2JTUDIS5EF65KLMRQIIGY"),
            OTPParameters::standard()};
}

// The exported name "encoding: ¿äÄéÉ? (demo)" is a label: its first colon separates an issuer.
OTPAuthEntry encodingDemo() {
    return {"encoding", "\u00BF\u00E4\u00C4\u00E9\u00C9? (demo)",
            *Base32::decode("7KSQL2JTUDIS5EF65KLMRQIIGY"), OTPParameters::standard()};
}

} // namespace

TEST(ImportParserExternal, ExampleExportGivesItsAccountsAndSkipsTheRest) {
    READ_EXTERNAL(text, "scito-extract_otp_secrets/example_export.txt");
    const auto batch = ImportParser::parse(*text);
    const std::vector<OTPAuthEntry> expected = {raspberry("raspberrypi"), raspberry(""),
                                                raspberry(""), raspberry("raspberrypi"),
                                                encodingDemo()};
    EXPECT_EQ(batch.entries, expected);
    // Nine comment lines, and the counter-based account.
    EXPECT_EQ(batch.skipped.size(), 10u);
    EXPECT_EQ(std::count(batch.skipped.begin(), batch.skipped.end(),
                         ImportSkip{"", ImportSkipReason::unrecognized}),
              9);
    EXPECT_EQ(std::count(batch.skipped.begin(), batch.skipped.end(),
                         ImportSkip{"hotp demo", ImportSkipReason::hotp}),
              1);
    EXPECT_TRUE(batch.migrationParts.empty());
}

TEST(ImportParserExternal, DamagedAndForeignFilesCostOneSkipPerLine) {
    READ_EXTERNAL(wrongData, "scito-extract_otp_secrets/test_export_wrong_data.txt");
    EXPECT_EQ(ImportParser::parse(*wrongData),
              (ImportBatch{{}, {{"", ImportSkipReason::invalid}}, {}}));
    READ_EXTERNAL(wrongPrefix, "scito-extract_otp_secrets/test_export_wrong_prefix.txt");
    EXPECT_EQ(ImportParser::parse(*wrongPrefix),
              (ImportBatch{{}, {{"", ImportSkipReason::unrecognized}}, {}}));
    READ_EXTERNAL(empty, "scito-extract_otp_secrets/empty_file.txt");
    EXPECT_EQ(ImportParser::parse(*empty), ImportBatch{});
}

TEST(ImportParserExternal, PlainLinkListGivesFiveAccountsAndOneCounterBasedSkip) {
    READ_EXTERNAL(text, "scito-extract_otp_secrets/url_list_output.txt");
    const auto batch = ImportParser::parse(*text);
    EXPECT_EQ(batch.entries,
              (std::vector<OTPAuthEntry>{raspberry("raspberrypi"), raspberry(""), raspberry(""),
                                         raspberry("raspberrypi"), encodingDemo()}));
    EXPECT_EQ(reasons(batch), std::vector<ImportSkipReason>{ImportSkipReason::hotp});
}

TEST(ImportParserExternal, GoogleAuthenticatorSixExportsIncludingATwoPartBatch) {
    for (const char* file :
         {"krissrex-google-authenticator-exporter/test-qr-codes.json",
          "junedkhatri31-google-authenticator-export-decoder/test-qr-codes.json"}) {
        READ_EXTERNAL(json, file);
        // One link per JSON line: the quotes and commas around it are not part of the link.
        std::string links;
        std::istringstream lines(*json);
        for (std::string line; std::getline(lines, line);) {
            const auto start = line.find("otpauth-migration://");
            if (start != std::string::npos) {
                links += line.substr(start, line.find('"', start) - start) + "\n";
            }
        }
        const auto batch = ImportParser::parse(links);
        ASSERT_EQ(batch.entries.size(), 2u + 9u + 2u + 1u) << file;
        EXPECT_EQ(batch.entries[0],
                  OTPAuthEntry("", "Test account 1", *Base32::decode("JBSWY3APEHPK3PXI"),
                               OTPParameters::standard()));
        EXPECT_EQ(batch.entries[10].secret, *Base32::decode("FFFFFFFFFFFFFFFFFE======"));
        EXPECT_EQ(batch.entries[11].name, "10");
        EXPECT_EQ(batch.entries[11].secret, *Base32::decode("GGGGGGGGGGGGGGGGGGGA===="));
        EXPECT_EQ(batch.entries[13],
                  OTPAuthEntry("TOTPgenerator", "TOTPgenerator",
                               *Base32::decode("HVR4CFHAFOWFGGFAGSA5JVTIMMPG6GMT"),
                               *OTPParameters::make(OTPAlgorithm::sha512, 8, 30)));
        EXPECT_EQ(batch.skipped,
                  (std::vector<ImportSkip>{{"Counter key 1", ImportSkipReason::hotp},
                                           {"Counter key 1", ImportSkipReason::hotp}}));
        EXPECT_EQ(batch.migrationParts, (std::vector<MigrationPart>{{0, 2}, {1, 2}}));
    }
}
