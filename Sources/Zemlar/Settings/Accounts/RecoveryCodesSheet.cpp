// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecoveryCodesSheet.hpp"

#include "AccountsModel.hpp"
#include "ConcealedTextEdit.hpp"

#include <OTPCore/RecoveryCodes.hpp>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <ZemlarKit/SecretText.hpp>
#include <ZemlarScreens/ScreenStyle.hpp>
#include <ZemlarScreens/Texts.hpp>

namespace zemlar {

RecoveryCodesSheet::RecoveryCodesSheet(AccountsModel& model, const Account& account,
                                       QWidget* parent)
    : QDialog(parent), model_(model), account_(account), editor_(new ConcealedTextEdit(this)),
      count_(ScreenStyle::label({}, this)), save_(nullptr) {
    const QString title = Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Recovery codes for “")) +
                          QString::fromStdString(AccountTitle::make(account)) +
                          Texts::text(QT_TRANSLATE_NOOP("Zemlar", "”"));
    setWindowTitle(title);
    setModal(true);
    setMinimumWidth(420);

    editor_->setObjectName(QStringLiteral("codes"));
    editor_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    editor_->setMinimumHeight(180);
    editor_->setTabChangesFocus(true);
    editor_->setStyleSheet(QStringLiteral(
        "QPlainTextEdit { border: 1px solid palette(mid); border-radius: 6px; padding: 4px; }"));
    editor_->setEnabled(false);
    count_->setObjectName(QStringLiteral("count"));
    ScreenStyle::makeSecondary(count_);

    auto* buttons = ScreenStyle::cancelAndSave(this, save_);
    save_->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (loaded_) {
            saveCodes(); // runs on by itself; the sheet closes when it succeeds
        }
    });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(count_);
    bottom->addStretch();
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(12);
    layout->addWidget(ScreenStyle::headline(title, this));
    layout->addWidget(ScreenStyle::caption(
        Texts::text(QT_TRANSLATE_NOOP("Zemlar", "One-time codes the site gave you when 2FA was "
                                                "turned on. Paste them one per line; delete a "
                                                "code once you have used it.")),
        this));
    layout->addWidget(editor_, 1);
    layout->addLayout(bottom);

    connect(editor_, &QPlainTextEdit::textChanged, this, &RecoveryCodesSheet::updateCount);
    updateCount();
}

QCoro::Task<> RecoveryCodesSheet::load() {
    if (loadStarted_) {
        co_return;
    }
    loadStarted_ = true;
    QPointer<RecoveryCodesSheet> alive(this);
    QCoro::Task<std::optional<std::string>> pending = model_.recoveryCodes(account_);
    std::optional<std::string> text = co_await pending;
    if (!alive || !text) {
        co_return; // stays read-only: nothing read can be saved over the stored codes
    }
    QString codes = QString::fromStdString(*text);
    Crypto::wipe(*text);
    editor_->setPlainText(codes);
    SecretText::wipe(codes); // the editor keeps its own copy
    loaded_ = true;
    editor_->setEnabled(true);
    save_->setEnabled(true);
}

QCoro::Task<bool> RecoveryCodesSheet::saveCodes() {
    QPointer<RecoveryCodesSheet> alive(this);
    save_->setEnabled(false);
    const Crypto::WipedText codes = SecretText::utf8(editor_->toPlainText());
    QCoro::Task<bool> pending = model_.setRecoveryCodes(codes.value(), account_);
    const bool saved = co_await pending;
    if (alive) {
        save_->setEnabled(loaded_);
        if (saved) {
            accept();
        }
    }
    co_return saved;
}

void RecoveryCodesSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    load();
}

void RecoveryCodesSheet::updateCount() {
    const Crypto::WipedText text = SecretText::utf8(editor_->toPlainText());
    auto codes = RecoveryCodes::parse(text.value());
    for (std::string& code : codes) {
        Crypto::wipe(code);
    }
    count_->setText(
        Texts::format(QT_TRANSLATE_NOOP("Zemlar", "Codes: %lld"), {QString::number(codes.size())}));
}

} // namespace zemlar
