// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageTesting.hpp"
#include "MemoryListStores.hpp"
#include "StoreDoubles.hpp"

#include <OTPCore/ImportParser.hpp>
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

/// Identifiers 1, 2, 3, … in order of the calls.
struct Counter {
    std::uint8_t next = 1;
    UUID operator()() { return uuidNumber(next++); }
};

class ImportFlowTest : public ::testing::Test {
protected:
    ImportReport run(const ImportBatch& batch) {
        return ImportFlow::run(batch, now, std::function<UUID()>(Counter{}), accounts, secrets);
    }

    MemoryAccountStore accounts;
    MapSecretStore secrets;
};

TEST_F(ImportFlowTest, addsEveryNewEntryInBatchOrder) {
    ImportBatch batch;
    batch.entries = {entry("GitHub", "ann", bytesOf("one")), entry("", "bob", bytesOf("two"))};
    batch.skipped = {{"", ImportSkipReason::unrecognized}};
    batch.migrationParts = {{0, 2}};
    const auto report = run(batch);
    EXPECT_EQ(report, (ImportReport{{"GitHub · ann", "bob"},
                                    {uuidNumber(1), uuidNumber(2)},
                                    {{"", ImportSkipReason::unrecognized}},
                                    {{0, 2}}}));
    ASSERT_EQ(accounts.list.size(), 2U);
    EXPECT_EQ(accounts.list[0].createdAt, now);
    EXPECT_EQ(accounts.list[1].id, uuidNumber(2));
    EXPECT_EQ(secrets.secrets.at(uuidNumber(1)), bytesOf("one"));
    EXPECT_EQ(accounts.saves, 1);
}

TEST_F(ImportFlowTest, duplicatesNeedTheSameTitleParametersAndReadableSecret) {
    run(ImportBatch{{entry("GitHub", "ann", bytesOf("one"))}, {}, {}});
    ImportBatch again;
    again.entries = {
        entry("GitHub", "ann", bytesOf("one")),  // duplicate
        entry("github", "ann", bytesOf("one")),  // issuer case differs
        entry("GitHub", "ann ", bytesOf("one")), // a blank more
        entry("GitHub", "ann", bytesOf("two")),  // other secret
        entry("GitHub", "ann", bytesOf("one"),
              *OTPParameters::make( // other period
                  OTPAlgorithm::sha1, 6, 60)),
        entry("Other", "name", bytesOf("one")), // same secret, other name
        entry("Other", "name", bytesOf("one")), // the same twice in one batch
    };
    const auto report = ImportFlow::run(
        again, now, [] { return RandomBytes::uuid(); }, accounts, secrets);
    EXPECT_EQ(report.imported.size(), 5U);
    EXPECT_EQ(report.skipped,
              (std::vector<ImportSkip>{{"GitHub · ann", ImportSkipReason::duplicate},
                                       {"Other · name", ImportSkipReason::duplicate}}));
    EXPECT_EQ(accounts.list.size(), 6U);
}

TEST_F(ImportFlowTest, anAccountWhoseSecretCannotBeReadIsNoDuplicate) {
    run(ImportBatch{{entry("GitHub", "ann", bytesOf("one"))}, {}, {}});
    secrets.failRead = true;
    const auto report = ImportFlow::run(
        ImportBatch{{entry("GitHub", "ann", bytesOf("one"))}, {}, {}}, now,
        [] { return uuidNumber(9); }, accounts, secrets);
    EXPECT_EQ(report.importedIDs, std::vector<UUID>{uuidNumber(9)});
    EXPECT_EQ(accounts.list.size(), 2U);
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
    EXPECT_EQ(accounts.list.size(), 2U);

    FaultyAccountStore faulty(accounts);
    faulty.failSave = 1;
    const auto failed = ImportFlow::run(
        ImportBatch{{entry("D", "4", bytesOf("d")), entry("A", "1", bytesOf("a")),
                     entry("E", "5", bytesOf("e"))},
                    {},
                    {}},
        now, [] { return RandomBytes::uuid(); }, faulty, secrets);
    EXPECT_TRUE(failed.imported.empty());
    EXPECT_EQ(failed.skipped,
              (std::vector<ImportSkip>{{"D · 4", ImportSkipReason::storageFailed},
                                       {"A · 1", ImportSkipReason::duplicate},
                                       {"E · 5", ImportSkipReason::storageFailed}}));
    EXPECT_EQ(secrets.secrets.size(), 3U);
    EXPECT_EQ(accounts.list.size(), 2U);
}

TEST_F(ImportFlowTest, anUnusableStoreReportsEveryEntryAsNotSaved) {
    FaultyAccountStore faulty(accounts);
    faulty.failLoads = true;
    const auto report = ImportFlow::run(
        ImportBatch{{entry("A", "1", bytesOf("a")), entry("B", "2", bytesOf("b"))}, {}, {}}, now,
        faulty, secrets);
    EXPECT_TRUE(report.imported.empty());
    EXPECT_EQ(report.skipped.size(), 2U);
    EXPECT_EQ(report.skipped[1].reason, ImportSkipReason::storageFailed);
    EXPECT_TRUE(secrets.secrets.empty());
}

// The rule that turns an import source into text.
TEST(ImportText, theImagesPayloadsWinOverTheTextAndAnImageWithoutCodesFallsBackToIt) {
    const auto other = readFile(fixture("qr-other.png"));
    const Bytes two =
        encoded(sideBySide(imageOf(*readFile(fixture("qr-single.png"))), imageOf(*other)), "PNG");
    const auto text = ImportText::payloadText(two, "ignored");
    ASSERT_TRUE(text);
    EXPECT_TRUE(*text == singleLink + "\n" + otherLink || *text == otherLink + "\n" + singleLink);

    QImage blank(200, 200, QImage::Format_RGB32);
    blank.fill(Qt::white);
    const Bytes png = encoded(blank, "PNG");
    EXPECT_EQ(ImportText::payloadText(png, std::string("some text")), "some text");
    EXPECT_EQ(ImportText::payloadText(bytesOf("not an image"), std::string("x")), "x");
    EXPECT_EQ(ImportText::payloadText(png, std::nullopt), fail(ImportFailure::noQRCode()));
    EXPECT_EQ(ImportText::payloadText(std::nullopt, std::nullopt), fail(ImportFailure::noQRCode()));
    EXPECT_EQ(ImportText::payloadText(std::nullopt, std::string("t")), "t");
}

TEST(ImportText, filesGiveTheirTextOnlyWhenItIsUTF8) {
    const auto text = ImportText::fileText(*readFile(fixture("links-utf8.txt")));
    ASSERT_TRUE(text);
    const auto batch = ImportParser::parse(*text);
    ASSERT_EQ(batch.entries.size(), 2U);
    EXPECT_EQ(batch.entries[0].issuer, "Café");
    EXPECT_EQ(ImportText::fileText(*readFile(fixture("links-latin1.txt"))),
              fail(ImportFailure::noQRCode()));
    // A PNG without codes offered as a file: its bytes are not UTF-8, so there is no text either.
    QImage blank(200, 200, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_EQ(ImportText::fileText(encoded(blank, "PNG")), fail(ImportFailure::noQRCode()));
}

TEST(ImportText, utf8TextRefusesMalformedSequences) {
    EXPECT_EQ(ImportText::utf8Text(bytesOf("plain ascii")), "plain ascii");
    EXPECT_EQ(ImportText::utf8Text(bytesOf("é€😀")), "é€😀");
    EXPECT_EQ(ImportText::utf8Text(Bytes{}), "");
    for (const Bytes& bad :
         {Bytes{0xC3}, Bytes{0xC0, 0x80}, Bytes{0xE0, 0x80, 0x80}, Bytes{0xED, 0xA0, 0x80},
          Bytes{0xF4, 0x90, 0x80, 0x80}, Bytes{0xF8, 0x88, 0x80, 0x80, 0x80}, Bytes{0x80},
          Bytes{'a', 0xE9, 'b'}}) {
        EXPECT_EQ(ImportText::utf8Text(bad), std::nullopt);
    }
}

} // namespace
} // namespace zemlar::testing
