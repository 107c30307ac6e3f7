// SPDX-License-Identifier: GPL-3.0-or-later
#include "MigrationPayload.hpp"

#include <OTPCore/ImportParser.hpp>
#include <OTPCore/ManualEntry.hpp>
#include <gtest/gtest.h>

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
    for (const char* text : {"\u2028\u2029\u0085\v\f", "\xEF\xBB\xBF\n \t\r\n\u3000\u00A0"}) {
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

TEST(ImportParserParse, DecidesByACaseInsensitivePrefixOfTheTrimmedLine) {
    const auto batch = ImportParser::parse("OTPAUTH://TOTP/Acme:alice?SECRET=JBSWY3DPEHPK3PXP\n"
                                           "Link: " +
                                           aliceLink +
                                           "\n"
                                           "otpauth:/totp/x?secret=AA\n");
    EXPECT_EQ(batch.entries, std::vector<OTPAuthEntry>{alice});
    EXPECT_EQ(reasons(batch), (std::vector<ImportSkipReason>{ImportSkipReason::unrecognized,
                                                             ImportSkipReason::unrecognized}));
}

// Every refusal of the link parser but a counter-based link's is "invalid" here.
TEST(ImportParserParse, SkipsRefusedLinksWithOneReasonEach) {
    const auto batch = ImportParser::parse("otpauth://hotp/a?secret=JBSWY3DPEHPK3PXP&counter=1\n"
                                           "otpauth://HOTP/a?secret=AA\n"
                                           "otpauth://abc/a?secret=JBSWY3DPEHPK3PXP\n"
                                           "otpauth://totp/a?secret=AA&digits=9\n"
                                           "otpauth-migration://offline?data=XXXX\n"
                                           "OTPAUTH-MIGRATION://offline\n" +
                                           aliceLink);
    EXPECT_EQ(batch.entries, std::vector<OTPAuthEntry>{alice});
    using enum ImportSkipReason;
    EXPECT_EQ(reasons(batch),
              (std::vector<ImportSkipReason>{hotp, hotp, invalid, invalid, invalid, invalid}));
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
    const std::vector<std::string> damaged = {"otpauth://totp/a?secret=%", "\xFF\xFE",
                                              "otpauth-migration://x?data=%",
                                              std::string("otpauth://\0totp", 15)};
    for (const std::string& line : damaged) {
        const auto batch = ImportParser::parse(aliceLink + "\n" + line + "\r\n" + aliceLink);
        EXPECT_EQ(batch.entries.size(), 2u) << line;
        EXPECT_EQ(batch.skipped.size(), 1u) << line;
    }
}

TEST(ManualEntryMake, TrimsAndDecodes) {
    const auto entry = ManualEntry::make("  Acme\n", "\talice ",
                                         "jbsw y3dp-ehpk 3pxp==", OTPAlgorithm::sha256, 8, 60);
    ASSERT_TRUE(entry);
    EXPECT_EQ(*entry, OTPAuthEntry("Acme", "alice", hello,
                                   *OTPParameters::make(OTPAlgorithm::sha256, 8, 60)));
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
    EXPECT_EQ(error("", "alice", "  ", 6, 30), ManualEntryError::invalidSecret());
    EXPECT_EQ(error("", "alice", "JBSWY3DPEHPK3PXP", 10, 30),
              ManualEntryError::invalidParameters());
    EXPECT_EQ(error("", "alice", "JBSWY3DPEHPK3PXP", 6, 0), ManualEntryError::invalidParameters());
    EXPECT_EQ(error("", "alice", "JBSWY3DPEHPK3PXP", 7, 1), std::nullopt);
}
