// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageTesting.hpp"
#include "MemoryListStores.hpp"
#include "StoreDoubles.hpp"

#include <ZemlarKit/ImportFlow.hpp>
#include <ZemlarKit/ImportText.hpp>
#include <ZemlarKit/RandomBytes.hpp>
#include <gtest/gtest.h>

namespace zemlar::testing {
namespace {

constexpr Date now{1'750'000'000};

OTPAuthEntry entry(std::string issuer, std::string name, Bytes secret,
                   OTPParameters parameters = OTPParameters::standard()) {
    return OTPAuthEntry(std::move(issuer), std::move(name), std::move(secret), parameters);
}

class ImportFlowTest : public ::testing::Test {
protected:
    /// Identifiers 1, 2, 3, … in order of the calls.
    ImportReport run(const ImportBatch& batch, AccountStore* store = nullptr) {
        std::uint8_t next = 1;
        return ImportFlow::run(
            batch, now, [next]() mutable { return uuidNumber(next++); }, store ? *store : accounts,
            secrets);
    }

    MemoryAccountStore accounts;
    MapSecretStore secrets;
};

TEST_F(ImportFlowTest, addsEveryNewEntryInBatchOrderWithOneSave) {
    ImportBatch batch;
    batch.entries = {entry("GitHub", "ann", bytesOf("one")), entry("", "bob", bytesOf("two"))};
    batch.skipped = {{"", ImportSkipReason::unrecognized}};
    EXPECT_EQ(run(batch), (ImportReport{{"GitHub · ann", "bob"},
                                        {uuidNumber(1), uuidNumber(2)},
                                        {{"", ImportSkipReason::unrecognized}},
                                        {}}));
    ASSERT_EQ(accounts.list.size(), 2U);
    EXPECT_EQ(accounts.list[0].createdAt, now);
    EXPECT_EQ(secrets.secrets.at(uuidNumber(1)), bytesOf("one"));
    EXPECT_EQ(accounts.saves, 1);
}

TEST_F(ImportFlowTest, duplicatesNeedTheSameTitleParametersAndReadableSecret) {
    run(ImportBatch{{entry("GitHub", "ann", bytesOf("one"))}, {}, {}});
    const OTPParameters sixty = *OTPParameters::make(OTPAlgorithm::sha1, 6, 60);
    ImportBatch again;
    again.entries = {
        entry("GitHub", "ann", bytesOf("one")),        // duplicate
        entry("github", "ann", bytesOf("one")),        // issuer case differs
        entry("GitHub", "ann ", bytesOf("one")),       // a blank more
        entry("GitHub", "ann", bytesOf("two")),        // other secret
        entry("GitHub", "ann", bytesOf("one"), sixty), // other period
        entry("Other", "name", bytesOf("one")),        // same secret, other name
        entry("Other", "name", bytesOf("one")),        // the same twice in one batch
    };
    const auto report = ImportFlow::run(
        again, now, [] { return RandomBytes::uuid(); }, accounts, secrets);
    EXPECT_EQ(report.imported.size(), 5U);
    EXPECT_EQ(report.skipped,
              (std::vector<ImportSkip>{{"GitHub · ann", ImportSkipReason::duplicate},
                                       {"Other · name", ImportSkipReason::duplicate}}));
    EXPECT_EQ(accounts.list.size(), 6U);

    secrets.failRead = true; // a secret that cannot be read makes no duplicate
    EXPECT_EQ(ImportFlow::run(
                  ImportBatch{{entry("GitHub", "ann", bytesOf("one"))}, {}, {}}, now,
                  [] { return uuidNumber(9); }, accounts, secrets)
                  .importedIDs,
              std::vector<UUID>{uuidNumber(9)});
}

TEST_F(ImportFlowTest, anEntryThatCannotBeStoredIsSkippedAndAFailedSaveSkipsTheWholeRun) {
    secrets.secrets[uuidNumber(2)] = bytesOf("stored before");
    ImportBatch batch;
    batch.entries = {entry("A", "1", bytesOf("a")), entry("B", "2", bytesOf("b")),
                     entry("C", "3", bytesOf("c"))};
    batch.skipped = {{"", ImportSkipReason::invalid}};
    const auto report = run(batch);
    EXPECT_EQ(report.imported, (std::vector<std::string>{"A · 1", "C · 3"}));
    EXPECT_EQ(report.importedIDs, (std::vector<UUID>{uuidNumber(1), uuidNumber(3)}));
    EXPECT_EQ(report.skipped,
              (std::vector<ImportSkip>{{"", ImportSkipReason::invalid},
                                       {"B · 2", ImportSkipReason::storageFailed}}));
    EXPECT_EQ(secrets.secrets.at(uuidNumber(2)), bytesOf("stored before"));

    FaultyAccountStore faulty(accounts);
    faulty.failSave = 1;
    const auto failed = ImportFlow::run(
        ImportBatch{{entry("D", "4", bytesOf("d")), entry("A", "1", bytesOf("a"))}, {}, {}}, now,
        [] { return RandomBytes::uuid(); }, faulty, secrets);
    EXPECT_TRUE(failed.imported.empty());
    EXPECT_EQ(failed.skipped, (std::vector<ImportSkip>{{"D · 4", ImportSkipReason::storageFailed},
                                                       {"A · 1", ImportSkipReason::duplicate}}));
    EXPECT_EQ(secrets.secrets.size(), 3U) << "the new secret is removed again";
    EXPECT_EQ(accounts.list.size(), 2U);

    faulty.failLoads = true;
    const auto unusable = run(ImportBatch{{entry("E", "5", bytesOf("e"))}, {}, {}}, &faulty);
    EXPECT_EQ(unusable.skipped,
              (std::vector<ImportSkip>{{"E · 5", ImportSkipReason::storageFailed}}));
    EXPECT_EQ(secrets.secrets.size(), 3U);
}

// The rule that turns an import source into text.
TEST(ImportText, theImagesPayloadsWinOverTheTextAndAnImageWithoutCodesFallsBackToIt) {
    const Bytes two = encoded(sideBySide(imageOf(*readFile(fixture("qr-single.png"))),
                                         imageOf(*readFile(fixture("qr-other.png")))),
                              "PNG");
    const auto text = ImportText::payloadText(two, "ignored");
    ASSERT_TRUE(text);
    EXPECT_TRUE(*text == singleLink + "\n" + otherLink || *text == otherLink + "\n" + singleLink);

    QImage blank(200, 200, QImage::Format_RGB32);
    blank.fill(Qt::white);
    const Bytes png = encoded(blank, "PNG");
    EXPECT_EQ(ImportText::payloadText(bytesOf("not an image"), std::string("x")), "x");
    EXPECT_EQ(ImportText::payloadText(png, std::nullopt), fail(ImportFailure::noQRCode()));
    EXPECT_EQ(ImportText::payloadText(std::nullopt, std::nullopt), fail(ImportFailure::noQRCode()));
    EXPECT_EQ(ImportText::payloadText(std::nullopt, std::string("t")), "t");
    // Files give their text only when it is UTF-8.
    EXPECT_EQ(ImportText::fileText(*readFile(fixture("links-latin1.txt"))),
              fail(ImportFailure::noQRCode()));
}

TEST(ImportText, utf8TextRefusesMalformedSequences) {
    EXPECT_EQ(ImportText::utf8Text(bytesOf("plain é€😀")), "plain é€😀");
    for (const Bytes& bad :
         {Bytes{0xC3}, Bytes{0xC0, 0x80}, Bytes{0xE0, 0x80, 0x80}, Bytes{0xED, 0xA0, 0x80},
          Bytes{0xF4, 0x90, 0x80, 0x80}, Bytes{0xF8, 0x88, 0x80, 0x80, 0x80}, Bytes{0x80},
          Bytes{'a', 0xE9, 'b'}}) {
        EXPECT_EQ(ImportText::utf8Text(bad), std::nullopt);
    }
}

} // namespace
} // namespace zemlar::testing
