// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <ZemlarScreens/PasswordDialog.hpp>
#include <functional>
#include <gtest/gtest.h>

using namespace zemlar;

namespace {

/// Answers the dialog's next question once it waits: `act` runs on the waiting dialog.
void whenAsked(PasswordDialog& dialog, std::function<void()> act) {
    QObject::connect(&dialog, &PasswordDialog::answerRequested, &dialog, std::move(act),
                     Qt::SingleShotConnection);
}

void answerWith(PasswordDialog& dialog, const QString& password,
                QDialogButtonBox::StandardButton button) {
    whenAsked(dialog, [&dialog, password, button] {
        QTest::keyClicks(dialog.answerField(), password);
        dialog.buttons()->button(button)->click();
    });
}

TEST(PasswordDialog, GivesTheTypedPasswordAndForgetsIt) {
    PasswordDialog dialog;
    dialog.begin(QStringLiteral("show your two-factor codes"), {});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.answerField()->isEnabled());
    answerWith(dialog, QStringLiteral("s3cret"), QDialogButtonBox::Ok);
    EXPECT_EQ(dialog.askSecret(QStringLiteral("Password: "), false), QStringLiteral("s3cret"));
    EXPECT_TRUE(dialog.answerField()->text().isEmpty());
    EXPECT_FALSE(dialog.answerField()->isEnabled());
    dialog.end(true);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(PasswordDialog, HidesThePasswordUnlessAskedToEcho) {
    PasswordDialog dialog;
    dialog.begin(QStringLiteral("reason"), {});
    for (const bool echo : {false, true}) {
        QLineEdit::EchoMode mode = QLineEdit::NoEcho;
        whenAsked(dialog, [&dialog, &mode] {
            mode = dialog.answerField()->echoMode();
            dialog.buttons()->button(QDialogButtonBox::Ok)->click();
        });
        EXPECT_EQ(dialog.askSecret(QStringLiteral("Prompt: "), echo), QString());
        EXPECT_EQ(mode, echo ? QLineEdit::Normal : QLineEdit::Password);
    }
}

TEST(PasswordDialog, CancellingOrClosingGivesNothing) {
    PasswordDialog dialog;
    dialog.begin(QStringLiteral("reason"), {});
    answerWith(dialog, QStringLiteral("typed"), QDialogButtonBox::Cancel);
    EXPECT_EQ(dialog.askSecret(QStringLiteral("Password: "), false), std::nullopt);
    whenAsked(dialog, [&dialog] { dialog.reject(); });
    EXPECT_EQ(dialog.askSecret(QStringLiteral("Password: "), false), std::nullopt);
}

TEST(PasswordDialog, ShowsTheReasonAndTheModulesMessages) {
    PasswordDialog dialog;
    dialog.begin(QStringLiteral("show your two-factor codes"), {});
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << label->text();
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Zemlar is trying to show your two-factor codes.")));
    dialog.showMessage(QStringLiteral("Place your finger on the fingerprint reader"), false);
    EXPECT_EQ(dialog.messageLabel()->text(),
              QStringLiteral("Place your finger on the fingerprint reader"));
    dialog.showMessage(QStringLiteral("Failed to match fingerprint"), true);
    EXPECT_TRUE(dialog.messageLabel()->styleSheet().contains(QStringLiteral("red")));
    dialog.end(false);
    EXPECT_TRUE(dialog.messageLabel()->text().isEmpty());
}

} // namespace
