// SPDX-License-Identifier: GPL-3.0-or-later
#include "../OTPCoreTests/MigrationPayload.hpp"
#include "ImportTesting.hpp"

#include <ZemlarKit/GroupFlows.hpp>
#include <ZemlarKit/RandomBytes.hpp>
#include <functional>
#include <limits>
#include <vector>

namespace zemlar {
namespace {

using Kind = ImportStatus::Kind;
using Row = ImportModel::SkippedRow;

class ImportModelTest : public testing::ImportScreenTest {
protected:
    void SetUp() override {
        ImportScreenTest::SetUp();
        QObject::connect(&model, &ImportModel::changed,
                         [this] { kinds.push_back(model.status().kind()); });
    }
    void importClipboard() { QCoro::waitFor(model.importFromClipboard()); }
    void importFile(const std::filesystem::path& file) { QCoro::waitFor(model.importFile(file)); }

    std::vector<Kind> kinds;
};

TEST_F(ImportModelTest, EveryFailureShowsItsTextAndStoresNothing) {
    struct Case {
        const char* what;
        std::function<void()> act;
        const char* text;
        bool early; // fails before a run starts, without passing through working
    };
    const char* const noCode = "No QR code or text found";
    const char* const unreadable = "Couldn't read the file";
    const std::vector<Case> cases = {
        {"empty clipboard",
         [&] {
             QGuiApplication::clipboard()->clear();
             importClipboard();
         },
         "The clipboard has neither text nor an image", true},
        {"missing file", [&] { importFile(path("missing.png")); }, unreadable, false},
        {"folder", [&] { importFile(path("")); }, unreadable, false},
        {"device without end", [&] { importFile("/dev/zero"); }, "The file is too large", false},
        {"binary file", [&] { importFile(write("noise.bin", QByteArray("\x89\xFF\x00\xFE", 4))); },
         noCode, false},
        {"text not in UTF-8", [&] { importFile(write("latin1.txt", "caf\xE9 otpauth://x")); },
         noCode, false},
        {"image without code",
         [&] {
             QImage blank(200, 200, QImage::Format_RGB32);
             blank.fill(Qt::white);
             putOnClipboard(blank, std::nullopt);
             importClipboard();
         },
         noCode, false},
        {"blank title", [&] { EXPECT_FALSE(add(" ", "\t", "JBSWY3DPEHPK3PXP")); },
         "Enter an issuer or a name", true},
        {"digit 1 in the key", [&] { EXPECT_FALSE(add("GitHub", "", "JBSWY3DPEHPK3PX1")); },
         "The key doesn't look like Base32: only letters A–Z and digits 2–7 are allowed", true},
        {"nine digits",
         [&] {
             EXPECT_FALSE(QCoro::waitFor(
                 model.addManually("GitHub", "", "JBSWY3DPEHPK3PXP", OTPAlgorithm::sha1, 9, 30)));
         },
         "Invalid code parameters", true},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.what);
        kinds.clear();
        each.act();
        EXPECT_EQ(model.status().kind(), Kind::failed);
        EXPECT_EQ(model.failureText(), QString::fromUtf8(each.text));
        EXPECT_EQ(kinds, (each.early ? std::vector{Kind::failed}
                                     : std::vector{Kind::working, Kind::failed}));
        EXPECT_FALSE(model.canClearForm());
    }
    EXPECT_EQ(storedAccounts(), 0u);
    EXPECT_EQ(notified, 0);
}

TEST_F(ImportModelTest, ClipboardTextImportsItsLinksAndListsOtherLinesAsUntitled) {
    putOnClipboard(std::nullopt, QString::fromStdString(testing::exampleLink + "\nhello\n"));
    importClipboard();

    EXPECT_EQ(kinds, (std::vector{Kind::working, Kind::done}));
    EXPECT_EQ(model.addedTitles(), QStringList{testing::exampleTitle});
    EXPECT_EQ(model.addedHeader(), "Added: 1");
    EXPECT_EQ(model.skippedRows(), (std::vector{Row{"Untitled", "not an otpauth link"}}));
    EXPECT_EQ(model.skippedHeader(), "Skipped: 1");
    EXPECT_EQ(model.emptyResultText(), std::nullopt);
    EXPECT_EQ(storedAccounts(), 1u);
    EXPECT_EQ(secrets->readAll().value().size(), 1u);
    EXPECT_EQ(notified, 1);

    putOnClipboard(std::nullopt, QStringLiteral(" \n"));
    importClipboard();
    EXPECT_EQ(model.emptyResultText(), "No accounts found");
}

TEST_F(ImportModelTest, AClipboardImageWithCodesWinsOverTheTextAndOneWithoutFallsBackToIt) {
    putOnClipboard(qrImage(testing::shopLink), QStringLiteral("ignored"));
    importClipboard();
    EXPECT_EQ(model.addedTitles(), QStringList{testing::shopTitle});
    EXPECT_TRUE(model.skippedRows().empty());

    QImage blank(120, 120, QImage::Format_RGB32);
    blank.fill(Qt::white);
    putOnClipboard(blank, QString::fromStdString(testing::exampleLink));
    importClipboard();
    EXPECT_EQ(model.addedTitles(), QStringList{testing::exampleTitle});
    EXPECT_EQ(storedAccounts(), 2u);
}

TEST_F(ImportModelTest, AnExportCodeFileSaysWhichPartItIsAndATextFileImportsEveryLine) {
    using namespace TestPayload;
    const Bytes secret{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const Bytes payload = bytesField(1, account(secret, "Mail:ann@example.net", "Mail")) +
                          varintField(2, 1) + varintField(3, 3) + varintField(4, 1) +
                          varintField(5, 77);
    const auto png = QRImage::png(link(payload));
    ASSERT_TRUE(png);
    importFile(write("part.png", QByteArray(reinterpret_cast<const char*>(png->data()),
                                            static_cast<qsizetype>(png->size()))));

    EXPECT_EQ(model.addedTitles(), QStringList{"Mail · ann@example.net"});
    EXPECT_EQ(model.migrationTexts(),
              QStringList{"This is part 2 of 3 of a Google Authenticator export. Import the "
                          "remaining QR codes."});
    const Bytes lastPossiblePart = bytesField(1, account(secret, "Last", "")) + varintField(3, 3) +
                                   varintField(4, std::numeric_limits<std::int64_t>::max());
    importFile(write("last.txt", QByteArray::fromStdString(link(lastPossiblePart))));
    EXPECT_EQ(model.migrationTexts(),
              QStringList{"This is part 9223372036854775808 of 3 of a Google Authenticator "
                          "export. Import the remaining QR codes."});

    importFile(write("links.txt", QByteArray::fromStdString("\xEF\xBB\xBF" + testing::exampleLink +
                                                            "\r\n" + testing::shopLink + "\r\n")));
    EXPECT_EQ(model.addedTitles(), (QStringList{testing::exampleTitle, testing::shopTitle}));
    EXPECT_TRUE(model.skippedRows().empty());
    EXPECT_EQ(notified, 3);
}

TEST_F(ImportModelTest, RealExportFilesImportInPlace) {
    const std::filesystem::path data(ZEMLAR_SHARED_TESTDATA);
    if (!std::filesystem::exists(data)) {
        GTEST_SKIP() << "no shared test data at " << data;
    }
    importFile(data / "dim13-otpauth" / "example.png");
    EXPECT_EQ(model.addedTitles(), QStringList{"Example · alice@google.com"});

    importFile(data / "scito-extract_otp_secrets" / "url_list_output.txt");
    const QStringList added = model.addedTitles();
    ASSERT_EQ(added.size(), 3);
    EXPECT_EQ(added.mid(0, 2), (QStringList{"raspberrypi · pi@raspberrypi", "pi@raspberrypi"}));
    EXPECT_EQ(model.skippedRows(),
              (std::vector{Row{"Untitled", "HOTP is not supported"},
                           Row{"pi@raspberrypi", "already exists"},
                           Row{"raspberrypi · pi@raspberrypi", "already exists"}}));
    EXPECT_EQ(storedAccounts(), 4u);
    EXPECT_EQ(notified, 2);
}

TEST_F(ImportModelTest, OnlyRunsThatAddAnAccountNotifyAndDuplicatesStillClearTheForm) {
    EXPECT_TRUE(add("GitHub", "me", "jbsw y3dp-ehpk 3pxp"));
    EXPECT_EQ(notified, 1);

    EXPECT_TRUE(add("GitHub", "me", "JBSWY3DPEHPK3PXP")); // the same account: cleared anyway
    EXPECT_EQ(model.skippedRows(), (std::vector{Row{"GitHub · me", "already exists"}}));
    EXPECT_EQ(notified, 1);

    putOnClipboard(std::nullopt, QString::fromStdString(testing::exampleLink));
    importClipboard();
    importClipboard(); // all duplicates
    EXPECT_EQ(model.addedTitles(), QStringList{});
    EXPECT_EQ(notified, 2);

    putOnClipboard(std::nullopt,
                   QString::fromStdString(testing::exampleLink + "\n" + testing::shopLink));
    importClipboard(); // one duplicate, one new
    EXPECT_EQ(model.addedTitles(), QStringList{testing::shopTitle});
    EXPECT_EQ(notified, 3);
    EXPECT_EQ(storedAccounts(), 3u);
}

TEST_F(ImportModelTest, AnAccountThatCouldNotBeSavedKeepsTheForm) {
    write("data", "a file where the data folder belongs");
    model.form.issuer = "GitHub";
    model.form.secret = "JBSWY3DPEHPK3PXP";
    QCoro::waitFor(model.addFromForm());
    EXPECT_EQ(model.skippedRows(), (std::vector{Row{"GitHub", "couldn't save"}}));
    EXPECT_FALSE(model.canClearForm());
    EXPECT_EQ(model.form.issuer, "GitHub");
    EXPECT_EQ(notified, 0);
}

TEST_F(ImportModelTest, TheFormEmptiesAfterAnAdditionAndOnlyThen) {
    EXPECT_FALSE(model.canAdd());
    model.form.issuer = " ";
    model.form.name = "\t";
    model.form.secret = "JBSWY3DPEHPK3PXP";
    EXPECT_FALSE(model.canAdd());
    model.form.secret = " otpauth://totp/GitHub:me?secret=JBSWY3DPEHPK3PXP";
    EXPECT_TRUE(model.canAdd()); // a link brings its own issuer and name
    model.form.secret = "JBSWY3DPEHPK3PX1";
    model.form.name = "me";
    EXPECT_TRUE(model.canAdd());
    QCoro::waitFor(model.addFromForm());
    EXPECT_EQ(model.form.name, "me");

    model.form = ImportForm{.issuer = "GitHub",
                            .name = "",
                            .secret = "JBSWY3DPEHPK3PXP",
                            .algorithm = OTPAlgorithm::sha256,
                            .digits = 8,
                            .period = 60};
    QCoro::waitFor(model.addFromForm());
    EXPECT_EQ(model.form, ImportForm{});
    const Account stored = accounts->load().value().front();
    EXPECT_EQ(stored.parameters.algorithm(), OTPAlgorithm::sha256);
    EXPECT_EQ(stored.parameters.digits(), 8);
    EXPECT_EQ(stored.parameters.period(), 60);

    // A link in the secret field is imported as a link, ignoring the other fields.
    EXPECT_TRUE(add("Ignored", "", "  " + testing::exampleLink + "\n"));
    EXPECT_EQ(model.addedTitles(), QStringList{testing::exampleTitle});
    EXPECT_EQ(accounts->load().value().back().issuer, "Example");
}

TEST_F(ImportModelTest, AProtectedExportAsksForItsPasswordAndOnlyTheRightOneAddsItsAccounts) {
    if (!std::filesystem::is_directory(ZEMLAR_EXPORT_SAMPLES)) {
        GTEST_SKIP() << "The export samples are absent: " << ZEMLAR_EXPORT_SAMPLES;
    }
    const auto vault =
        std::filesystem::path(ZEMLAR_EXPORT_SAMPLES) / "aegis" / "aegis__aegis_encrypted.json";
    std::vector<std::optional<std::string>> answers = {std::nullopt, "wrong", "test"};
    std::size_t asked = 0;
    model.passwordPrompt = [&] { return answers.at(asked++); };

    importFile(vault);
    EXPECT_EQ(model.status().kind(), Kind::idle);
    importFile(vault);
    EXPECT_EQ(model.failureText(), QStringLiteral("The password is wrong or the file is damaged."));
    EXPECT_EQ(storedAccounts(), 0u);
    EXPECT_EQ(notified, 0);

    importFile(vault);
    EXPECT_EQ(asked, 3u);
    EXPECT_EQ(model.addedTitles(),
              (QStringList{QStringLiteral("Deno · Mason"), QStringLiteral("SPDX · James"),
                           QStringLiteral("Airbnb · Elijah")}));
    EXPECT_EQ(model.skippedRows().size(), 4u);
    EXPECT_EQ(storedAccounts(), 3u);
}

TEST_F(ImportModelTest, AnExportsGroupsBecomeOursAndAGroupOfTheSameNameIsReused) {
    if (!std::filesystem::is_directory(ZEMLAR_EXPORT_SAMPLES)) {
        GTEST_SKIP() << "The export samples are absent: " << ZEMLAR_EXPORT_SAMPLES;
    }
    const auto stored = GroupFlows::add("GROUP1", RandomBytes::uuid(), *environment.groupStore);
    ASSERT_TRUE(stored);
    importFile(std::filesystem::path(ZEMLAR_EXPORT_SAMPLES) / "aegis" /
               "aegis__aegis_plain_grouped_v2.json");

    const auto groups = environment.groupStore->load().value();
    ASSERT_EQ(groups.size(), 1u); // group2 holds only a counter-based account, which is skipped
    std::vector<std::optional<UUID>> filed;
    for (const auto& account : accounts->load().value()) {
        filed.push_back(account.groupID);
    }
    EXPECT_EQ(filed, (std::vector<std::optional<UUID>>{groups[0].id, std::nullopt, groups[0].id}));
}

} // namespace
} // namespace zemlar
