// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/PamDeviceAuthentication.hpp"

#include <QDialog>

class QDialogButtonBox;
class QEventLoop;
class QLabel;
class QLineEdit;

namespace zemlar {

/// Our own authentication dialog: it says why it asks, shows the prompts and messages of the
/// authentication modules (a fingerprint reader's requests included) and takes the password.
/// Cancelling or closing it ends the authentication, whether or not a question is waiting.
class PasswordDialog : public QDialog, public AuthenticationPrompter {
    Q_OBJECT

public:
    explicit PasswordDialog(QWidget* parent = nullptr);

    void begin(const QString& reason, std::function<void()> cancel) override;
    std::optional<QString> askSecret(const QString& prompt, bool echo) override;
    void showMessage(const QString& text, bool isError) override;
    void end(bool succeeded) override;

    /// The parts a test drives.
    QLineEdit* answerField() const { return answer_; }
    QLabel* messageLabel() const { return message_; }
    QDialogButtonBox* buttons() const { return buttons_; }

signals:
    /// A question is waiting for an answer.
    void answerRequested();

private:
    enum class Answer { pending, given, cancelled };

    void finishAnswer(Answer answer);

    QLabel* heading_;
    QLabel* prompt_;
    QLineEdit* answer_;
    QLabel* message_;
    QDialogButtonBox* buttons_;
    Answer state_ = Answer::pending;
    QEventLoop* waiting_ = nullptr;
    bool asking_ = false;
    std::function<void()> cancel_;
};

} // namespace zemlar
