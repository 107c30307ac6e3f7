// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImportTesting.hpp"
#include "ImportView.hpp"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace zemlar {
namespace {

class ImportViewTest : public testing::ImportScreenTest {
protected:
    QStringList labels(const char* name) const {
        QStringList texts;
        for (const auto* label : view.results()->findChildren<QLabel*>(QLatin1String(name))) {
            texts.append(label->text());
        }
        return texts;
    }
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
    view.fileButton()->click();

    ASSERT_TRUE(model.isWorking());
    EXPECT_FALSE(view.clipboardButton()->isEnabled());
    EXPECT_FALSE(view.fileButton()->isEnabled());
    EXPECT_NE(view.results()->findChild<QProgressBar*>(), nullptr);

    waitForTheRun();
    EXPECT_TRUE(view.fileButton()->isEnabled());
    EXPECT_EQ(view.results()->findChild<QProgressBar*>(), nullptr);
    EXPECT_EQ(labels("failure"), QStringList{"No QR code or text found"});
}

TEST_F(ImportViewTest, AddIsEnabledByAKeyAndATitleAndTheFormEmptiesAfterAdding) {
    view.show();
    EXPECT_EQ(view.periodStepper()->text(), "Period: 30 s");
    EXPECT_FALSE(view.addButton()->isEnabled());
    QTest::keyClicks(view.secretField(), "JBSWY3DPEHPK3PXP");
    QTest::keyClicks(view.issuerField(), "  ");
    EXPECT_FALSE(view.addButton()->isEnabled());
    QTest::keyClicks(view.nameField(), "me");
    EXPECT_TRUE(view.addButton()->isEnabled());
    view.algorithmPicker()->setCurrentText("SHA512");
    view.digitsPicker()->setCurrentText("7");
    view.periodStepper()->stepBy(2);
    EXPECT_EQ(view.periodStepper()->text(), "Period: 40 s");
    EXPECT_EQ(model.form.algorithm, OTPAlgorithm::sha512);

    view.addButton()->click();
    waitForTheRun();
    EXPECT_EQ(labels("addedTitle"), QStringList{"me"});
    EXPECT_EQ(view.results()->findChild<QGroupBox*>("added")->title(), "Added: 1");
    EXPECT_TRUE(view.nameField()->text().isEmpty());
    EXPECT_TRUE(view.secretField()->text().isEmpty());
    EXPECT_EQ(view.algorithmPicker()->currentText(), "SHA1");
    EXPECT_EQ(view.digitsPicker()->currentText(), "6");
    EXPECT_EQ(view.periodStepper()->text(), "Period: 30 s");
    EXPECT_EQ(accounts->load().value().front().parameters.period(), 40);
}

TEST_F(ImportViewTest, SkippedLinesAndExportPartsAreListed) {
    putOnClipboard(std::nullopt, QStringLiteral("hello"));
    view.clipboardButton()->click();
    waitForTheRun();
    EXPECT_EQ(labels("skippedTitle"), QStringList{"Untitled"});
    EXPECT_EQ(labels("skipReason"), QStringList{"not an otpauth link"});
    EXPECT_EQ(view.results()->findChild<QGroupBox*>("skipped")->title(), "Skipped: 1");

    putOnClipboard(std::nullopt, QStringLiteral(" "));
    view.clipboardButton()->click();
    waitForTheRun();
    EXPECT_EQ(labels("noAccounts"), QStringList{"No accounts found"});
}

} // namespace
} // namespace zemlar
