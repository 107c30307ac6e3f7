// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <ZemlarScreens/PasswordDialog.hpp>
#include <gtest/gtest.h>

using namespace zemlar;

namespace {

/// Answers the dialog's next question the way a user would, once it waits.
void answerWith(PasswordDialog& dialog, const QString& password, bool cancel) {
    QObject::connect(
        &dialog, &PasswordDialog::answerRequested, &dialog,
        [&dialog, password, cancel] {
            QTest::keyClicks(dialog.answerField(), password);
            dialog.buttons()
                ->button(cancel ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)
                ->click();
        },
        Qt::SingleShotConnection);
}

TEST(PasswordDialog, GivesTheTypedPasswordAndForgetsIt) {
    PasswordDialog dialog;
    dialog.begin(QStringLiteral("show your two-factor codes"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.answerField()->isEnabled());
    answerWith(dialog, QStringLiteral("s3cret"), false);
    EXPECT_EQ(dialog.askSecret(QStringLiteral("Password: "), false), QStringLiteral("s3cret"));
    EXPECT_TRUE(dialog.answerField()->text().isEmpty());
    EXPECT_FALSE(dialog.answerField()->isEnabled());
    dialog.end(true);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(PasswordDialog, HidesThePasswordUnlessAskedToEcho) {
    PasswordDialog dialog;
    dialog.begin(QStringLiteral("reason"));
    for (const bool echo : {false, true}) {
        QLineEdit::EchoMode mode = QLineEdit::NoEcho;
        QObject::connect(
            &dialog, &PasswordDialog::answerRequested, &dialog,
            [&dialog, &mode] {
                mode = dialog.answerField()->echoMode();
                dialog.buttons()->button(QDialogButtonBox::Ok)->click();
            },
            Qt::SingleShotConnection);
        EXPECT_EQ(dialog.askSecret(QStringLiteral("Prompt: "), echo), QString());
        EXPECT_EQ(mode, echo ? QLineEdit::Normal : QLineEdit::Password);
    }
}

TEST(PasswordDialog, CancellingOrClosingGivesNothing) {
    PasswordDialog dialog;
    dialog.begin(QStringLiteral("reason"));
    answerWith(dialog, QStringLiteral("typed"), true);
    EXPECT_EQ(dialog.askSecret(QStringLiteral("Password: "), false), std::nullopt);

    QObject::connect(
        &dialog, &PasswordDialog::answerRequested, &dialog, [&dialog] { dialog.reject(); },
        Qt::SingleShotConnection);
    EXPECT_EQ(dialog.askSecret(QStringLiteral("Password: "), false), std::nullopt);
}

TEST(PasswordDialog, ShowsTheReasonAndTheModulesMessages) {
    PasswordDialog dialog;
    dialog.begin(QStringLiteral("show your two-factor codes"));
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
