// SPDX-License-Identifier: GPL-3.0-or-later
// The import screen over one computer's real stores, plus the sources it reads (clipboard, files,
// QR images): the model, then the view.
#include "../OTPCoreTests/MigrationPayload.hpp"
#include "BackupTesting.hpp"
#include "ImportModel.hpp"
#include "ImportView.hpp"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <ZemlarKit/ChosenFile.hpp>
#include <functional>
#include <limits>
#include <vector>

namespace zemlar {
namespace {

using Kind = ImportStatus::Kind;
using Row = ImportModel::SkippedRow;

const std::string exampleLink =
    "otpauth://totp/Example:alice@example.com?secret=JBSWY3DPEHPK3PXP&issuer=Example";
const std::string shopLink =
    "otpauth://totp/Shop:bob@example.org?secret=KRSXG5CTMVRXEZLU&issuer=Shop&digits=8";

class ImportModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(&model, &ImportModel::changed,
                         [this] { kinds.push_back(model.status().kind()); });
    }
    void TearDown() override { QGuiApplication::clipboard()->clear(); }

    std::filesystem::path path(const char* name) const { return computer.root() / name; }
    std::filesystem::path write(const char* name, const QByteArray& bytes) const {
        QFile file(QString::fromStdString(path(name).string()));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }
    static void putOnClipboard(std::optional<QImage> image, std::optional<QString> text) {
        auto* data = new QMimeData;
        if (image) {
            data->setImageData(*image);
        }
        if (text) {
            data->setText(*text);
        }
        QGuiApplication::clipboard()->setMimeData(data);
    }
    std::size_t storedAccounts() const { return accounts->load().value().size(); }
    bool add(const std::string& issuer, const std::string& name, const std::string& secret) {
        return QCoro::waitFor(model.addManually(issuer, name, secret, OTPAlgorithm::sha1, 6, 30));
    }
    void importClipboard() { QCoro::waitFor(model.importFromClipboard()); }
    void importFile(const std::filesystem::path& file) { QCoro::waitFor(model.importFile(file)); }

    testing::BackupComputer computer;
    AppEnvironment& environment = computer.environment;
    std::shared_ptr<AccountStore> accounts = environment.accountStore;
    int notified = 0;
    ImportModel model{environment, [this] { ++notified; }};
    std::vector<Kind> kinds;
};

// One row per way a run fails; which files, texts and entries are refused is the readers' and
// parsers' own tests.
TEST_F(ImportModelTest, EveryFailureShowsItsTextAndStoresNothing) {
    struct Case {
        const char* what;
        std::function<void()> act;
        const char* text;
        bool early; // fails before a run starts, without passing through working
    };
    const std::vector<Case> cases = {
        {"empty clipboard",
         [&] {
             QGuiApplication::clipboard()->clear();
             importClipboard();
         },
         "The clipboard has neither text nor an image", true},
        {"folder", [&] { importFile(path("")); }, "Couldn't read the file", false},
        {"one byte over the limit",
         [&] {
             const auto file = write("large.txt", {});
             std::filesystem::resize_file(file, ChosenFile::sizeLimit + 1); // sparse
             importFile(file);
         },
         "The file is too large", false},
        {"image without code",
         [&] {
             QImage blank(200, 200, QImage::Format_RGB32);
             blank.fill(Qt::white);
             putOnClipboard(blank, std::nullopt);
             importClipboard();
         },
         "No QR code or text found", false},
        {"digit 1 in the key", [&] { EXPECT_FALSE(add("GitHub", "", "JBSWY3DPEHPK3PX1")); },
         "The key doesn't look like Base32: only letters A–Z and digits 2–7 are allowed", true},
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

TEST_F(ImportModelTest, AnExportCodeSaysWhichPartItIsEvenTheLastPossibleOne) {
    using namespace TestPayload;
    const Bytes lastPossiblePart = bytesField(1, account({1, 2, 3, 4, 5}, "Last", "")) +
                                   varintField(3, 3) +
                                   varintField(4, std::numeric_limits<std::int64_t>::max());
    importFile(write("last.txt", QByteArray::fromStdString(link(lastPossiblePart))));
    EXPECT_EQ(model.migrationTexts(),
              QStringList{"This is part 9223372036854775808 of 3 of a Google Authenticator "
                          "export. Import the remaining QR codes."});
}

TEST_F(ImportModelTest, ClipboardTextAndFormRunsNotifyOnlyWhenTheyAddAndDuplicatesClearTheForm) {
    EXPECT_TRUE(add("GitHub", "me", "jbsw y3dp-ehpk 3pxp"));
    EXPECT_EQ(notified, 1);

    EXPECT_TRUE(add("GitHub", "me", "JBSWY3DPEHPK3PXP")); // the same account: cleared anyway
    EXPECT_EQ(model.skippedRows(), (std::vector{Row{"GitHub · me", "already exists"}}));
    EXPECT_EQ(notified, 1);

    putOnClipboard(std::nullopt, QString::fromStdString("otpauth://totp/GitHub:me?secret="
                                                        "JBSWY3DPEHPK3PXP\n" +
                                                        shopLink));
    importClipboard(); // one duplicate, one new
    EXPECT_EQ(model.addedTitles(), QStringList{QStringLiteral("Shop · bob@example.org")});
    EXPECT_EQ(notified, 2);
    EXPECT_EQ(model.emptyResultText(), std::nullopt);

    putOnClipboard(std::nullopt, QStringLiteral(" \n"));
    importClipboard();
    EXPECT_EQ(model.emptyResultText(), "No accounts found");
}

TEST_F(ImportModelTest, AnAccountThatCouldNotBeSavedKeepsTheForm) {
    write("data", "a file where the data folder belongs");
    model.form.issuer = "GitHub";
    model.form.secret = "JBSWY3DPEHPK3PXP";
    QCoro::waitFor(model.addFromForm());
    EXPECT_EQ(model.skippedRows(), (std::vector{Row{"GitHub", "couldn't save"}}));
    EXPECT_EQ(model.form.secret, "JBSWY3DPEHPK3PXP");
    EXPECT_EQ(notified, 0);
}

TEST_F(ImportModelTest, TheFormEmptiesAfterAnAdditionAndOnlyThen) {
    model.form.issuer = " ";
    model.form.secret = " otpauth://totp/GitHub:me?secret=JBSWY3DPEHPK3PXP";
    EXPECT_TRUE(model.canAdd()); // a link brings its own issuer and name
    model.form.secret = "JBSWY3DPEHPK3PX1";
    model.form.name = "me";
    QCoro::waitFor(model.addFromForm());
    EXPECT_EQ(model.form.name, "me"); // the view's test empties it after an addition

    // A link in the secret field is imported as a link, ignoring the other fields.
    EXPECT_TRUE(add("Ignored", "", "  " + exampleLink + "\n"));
    EXPECT_EQ(model.addedTitles(), QStringList{QStringLiteral("Example · alice@example.com")});
    EXPECT_EQ(accounts->load().value().back().issuer, "Example");
}

// A wrong password is the command line's test; here a cancelled prompt and the right answer.
TEST_F(ImportModelTest, AProtectedExportAsksForItsPasswordAndACancelledPromptDoesNothing) {
    if (!std::filesystem::is_directory(ZEMLAR_EXPORT_SAMPLES)) {
        GTEST_SKIP() << "The export samples are absent: " << ZEMLAR_EXPORT_SAMPLES;
    }
    const auto vault =
        std::filesystem::path(ZEMLAR_EXPORT_SAMPLES) / "aegis" / "aegis__aegis_encrypted.json";
    std::vector<std::optional<std::string>> answers = {std::nullopt, "test"};
    std::size_t asked = 0;
    model.passwordPrompt = [&] { return answers.at(asked++); };

    importFile(vault);
    EXPECT_EQ(model.status().kind(), Kind::idle);
    EXPECT_EQ(storedAccounts(), 0u);
    importFile(vault);
    EXPECT_EQ(asked, 2u);
    EXPECT_EQ(storedAccounts(), 3u);
}

class ImportViewTest : public ImportModelTest {
protected:
    void waitForTheRun() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !model.isWorking(); }, 10'000));
    }

    ImportView view{model};
};

TEST_F(ImportViewTest, TheImportButtonsRestAndAProgressShowsWhileARunIsGoing) {
    view.setFileChooser([](QWidget*) { return std::nullopt; }); // cancelled: nothing happens
    view.fileButton()->click();
    EXPECT_EQ(model.status(), ImportStatus::idle());
    EXPECT_TRUE(view.results()->findChildren<QWidget*>().isEmpty());

    const auto noise = write("noise.bin", QByteArray("\xFF\xFE\x00", 3));
    view.setFileChooser([&](QWidget*) { return noise; });
    // The run may end before the click returns: the view is looked at when it starts.
    bool restingWithProgress = false;
    QObject::connect(&model, &ImportModel::changed, &view, [&] {
        restingWithProgress =
            restingWithProgress || (model.isWorking() && !view.clipboardButton()->isEnabled() &&
                                    !view.fileButton()->isEnabled() &&
                                    view.results()->findChild<QProgressBar*>() != nullptr);
    });
    view.fileButton()->click();

    waitForTheRun();
    EXPECT_TRUE(restingWithProgress);
    EXPECT_TRUE(view.fileButton()->isEnabled());
    EXPECT_EQ(view.results()->findChild<QProgressBar*>(), nullptr);
    const auto* failure = view.results()->findChild<QLabel*>("failure");
    ASSERT_NE(failure, nullptr);
    EXPECT_EQ(failure->text(), "No QR code or text found");
}

} // namespace
} // namespace zemlar
