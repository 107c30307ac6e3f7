// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarScreens/PasswordDialog.hpp"

#include "ZemlarScreens/ScreenStyle.hpp"
#include "ZemlarScreens/SecretField.hpp"
#include "ZemlarScreens/Texts.hpp"

#include <QDialogButtonBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <ZemlarKit/SecretText.hpp>
#include <utility>

namespace zemlar {

PasswordDialog::PasswordDialog(QWidget* parent)
    : QDialog(parent), heading_(ScreenStyle::label({}, this)),
      prompt_(ScreenStyle::label({}, this)), answer_(new QLineEdit(this)),
      message_(ScreenStyle::label({}, this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(QStringLiteral("Zemlar"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    heading_->setWordWrap(true);
    message_->setWordWrap(true);
    answer_->setObjectName(QStringLiteral("answer"));
    message_->setObjectName(QStringLiteral("message"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(prompt_);
    layout->addWidget(answer_);
    layout->addWidget(message_);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, [this] { finishAnswer(Answer::given); });
    connect(buttons_, &QDialogButtonBox::rejected, this,
            [this] { finishAnswer(Answer::cancelled); });
    // Closing the window counts as cancelling.
    connect(this, &QDialog::rejected, this, [this] { finishAnswer(Answer::cancelled); });
    setMinimumWidth(360);
}

void PasswordDialog::begin(const QString& reason, std::function<void()> cancel) {
    cancel_ = std::move(cancel);
    heading_->setText(
        Texts::format(QT_TRANSLATE_NOOP("Zemlar", "Zemlar is trying to %@."), {reason}));
    prompt_->clear();
    message_->clear();
    SecretField::empty(answer_);
    answer_->setEnabled(false);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);
    show();
    raise();
    activateWindow();
}

std::optional<QString> PasswordDialog::askSecret(const QString& prompt, bool echo) {
    prompt_->setText(prompt);
    SecretField::empty(answer_);
    answer_->setEchoMode(echo ? QLineEdit::Normal : QLineEdit::Password);
    answer_->setEnabled(true);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(true);
    answer_->setFocus();
    if (!isVisible()) {
        show();
    }
    state_ = Answer::pending;
    asking_ = true;
    QEventLoop waiting;
    waiting_ = &waiting;
    emit answerRequested();
    if (state_ == Answer::pending) {
        waiting.exec();
    }
    waiting_ = nullptr;
    asking_ = false;
    answer_->setEnabled(false);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);
    QString answer = SecretField::take(answer_);
    if (state_ != Answer::given) {
        SecretText::wipe(answer);
        return std::nullopt;
    }
    return answer;
}

void PasswordDialog::showMessage(const QString& text, bool isError) {
    message_->setText(text);
    message_->setStyleSheet(isError ? QStringLiteral("color: red;") : QString());
    if (!isVisible()) {
        show();
    }
}

void PasswordDialog::end(bool) {
    cancel_ = nullptr;
    message_->clear();
    SecretField::empty(answer_);
    hide();
}

void PasswordDialog::finishAnswer(Answer answer) {
    if (answer == Answer::cancelled && cancel_) {
        std::exchange(cancel_, nullptr)();
    }
    if (asking_ && state_ == Answer::pending) {
        state_ = answer;
        if (waiting_ != nullptr) {
            waiting_->quit();
        }
    }
    if (!asking_ && answer == Answer::cancelled) {
        hide();
    }
}

} // namespace zemlar
