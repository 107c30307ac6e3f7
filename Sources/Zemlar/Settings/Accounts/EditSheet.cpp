// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditSheet.hpp"

#include "AccountEdit.hpp"
#include "AccountsModel.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <ZemlarScreens/ScreenStyle.hpp>
#include <ZemlarScreens/Texts.hpp>

namespace zemlar {

EditSheet::EditSheet(AccountsModel& model, const Account& account, QWidget* parent)
    : QDialog(parent), model_(model), account_(account), issuer_(new QLineEdit(this)),
      name_(new QLineEdit(this)), group_(new QComboBox(this)), sites_(new QLineEdit(this)),
      pressesReturn_(new QCheckBox(
          Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Press Return after the code")), this)),
      save_(nullptr) {
    setWindowTitle(QString::fromStdString(AccountTitle::make(account)));
    setModal(true);
    setMinimumWidth(420);
    issuer_->setObjectName(QStringLiteral("issuer"));
    name_->setObjectName(QStringLiteral("name"));
    group_->setObjectName(QStringLiteral("group"));
    sites_->setObjectName(QStringLiteral("sites"));
    pressesReturn_->setObjectName(QStringLiteral("pressesReturn"));

    const AccountEdit start = AccountEdit::of(account);
    issuer_->setText(QString::fromStdString(start.issuer));
    name_->setText(QString::fromStdString(start.name));
    group_->addItem(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "No Group")));
    for (const auto& group : model.groups()) {
        group_->addItem(QString::fromStdString(group.name),
                        QString::fromStdString(group.id.uuidString()));
        if (start.groupID == group.id) {
            group_->setCurrentIndex(group_->count() - 1);
        }
    }
    sites_->setText(QString::fromStdString(start.sites));
    sites_->setPlaceholderText(QStringLiteral("example.com, login.example.org"));
    pressesReturn_->setChecked(start.pressesReturn);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Issuer")), issuer_);
    form->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Name")), name_);
    form->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Group")), group_);
    form->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Sites")), sites_);
    form->addRow(QString(), ScreenStyle::caption(Texts::text(QT_TRANSLATE_NOOP(
                                "Zemlar", "Comma-separated. A site also covers its subdomains."))));
    form->addRow(QString(), pressesReturn_);
    form->addRow(QString(), ScreenStyle::caption(Texts::text(QT_TRANSLATE_NOOP(
                                "Zemlar", "For sites where the code is the password: the form "
                                          "is submitted right away. ⇧↩ in the panel does this "
                                          "for any account."))));

    auto* buttons = ScreenStyle::cancelAndSave(this, save_);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (canSave()) {
            saveChanges(); // runs on by itself; the sheet closes when it succeeds
        }
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(16);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(issuer_, &QLineEdit::textChanged, this, &EditSheet::updateSave);
    connect(name_, &QLineEdit::textChanged, this, &EditSheet::updateSave);
    updateSave();
}

AccountEdit EditSheet::currentEdit() const {
    const QString groupText = group_->currentData().toString();
    return AccountEdit{.issuer = issuer_->text().toStdString(),
                       .name = name_->text().toStdString(),
                       .sites = sites_->text().toStdString(),
                       .groupID = UUID::parse(groupText.toStdString()),
                       .pressesReturn = pressesReturn_->isChecked()};
}

bool EditSheet::canSave() const {
    return !(issuer_->text() + name_->text()).trimmed().isEmpty();
}

QCoro::Task<bool> EditSheet::saveChanges() {
    QPointer<EditSheet> alive(this);
    save_->setEnabled(false);
    QCoro::Task<bool> pending = model_.edit(account_.id, currentEdit());
    const bool saved = co_await pending;
    if (alive) {
        updateSave();
        if (saved) {
            accept();
        }
    }
    co_return saved;
}

void EditSheet::updateSave() {
    save_->setEnabled(canSave());
}

} // namespace zemlar
