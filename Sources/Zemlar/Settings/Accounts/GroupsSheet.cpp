// SPDX-License-Identifier: GPL-3.0-or-later
#include "GroupsSheet.hpp"

#include "AccountsModel.hpp"
#include "GroupRow.hpp"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <ZemlarScreens/ScreenStyle.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <algorithm>

namespace zemlar {

GroupsSheet::GroupsSheet(AccountsModel& model, QWidget* parent)
    : QDialog(parent), model_(model), rowsLayout_(nullptr),
      empty_(ScreenStyle::caption(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "No groups yet")))),
      newGroup_(new QLineEdit(this)),
      add_(new QPushButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Add")), this)),
      error_(ScreenStyle::label({}, this)) {
    confirm = [this](const Confirmation& confirmation) {
        return Confirmation::ask(this, confirmation);
    };
    const QString title = Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Groups"));
    setWindowTitle(title);
    setModal(true);
    setMinimumSize(380, 360);
    empty_->setObjectName(QStringLiteral("noGroups"));
    empty_->setAlignment(Qt::AlignCenter);
    newGroup_->setObjectName(QStringLiteral("newGroup"));
    newGroup_->setPlaceholderText(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Work")));
    newGroup_->setAccessibleName(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "New group")));
    add_->setObjectName(QStringLiteral("add"));
    error_->setObjectName(QStringLiteral("error"));
    error_->setStyleSheet(QStringLiteral("color: red;"));
    error_->setWordWrap(true);

    auto* list = new QWidget;
    rowsLayout_ = new QVBoxLayout(list);
    rowsLayout_->setSpacing(6);
    rowsLayout_->addWidget(empty_);
    rowsLayout_->addStretch();
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(list);

    auto* adding = new QHBoxLayout;
    adding->addWidget(
        ScreenStyle::label(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "New group")), this));
    adding->addWidget(newGroup_, 1);
    adding->addWidget(add_);

    auto* buttons = new QDialogButtonBox(this);
    auto* done = buttons->addButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Done")),
                                    QDialogButtonBox::AcceptRole);
    done->setAutoDefault(false);
    add_->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(12);
    layout->addWidget(ScreenStyle::headline(title, this));
    layout->addWidget(scroll, 1);
    layout->addLayout(adding);
    layout->addWidget(error_);
    layout->addWidget(buttons);

    connect(newGroup_, &QLineEdit::textChanged, this, &GroupsSheet::updateAdd);
    connect(newGroup_, &QLineEdit::returnPressed, this, [this] {
        if (add_->isEnabled()) {
            addGroup();
        }
    });
    connect(add_, &QPushButton::clicked, this, [this] { addGroup(); });
    connect(&model_, &AccountsModel::changed, this, &GroupsSheet::render);
    render();
    updateAdd();
}

QCoro::Task<bool> GroupsSheet::addGroup() {
    QPointer<GroupsSheet> alive(this);
    QCoro::Task<bool> pending = model_.addGroup(newGroup_->text().toStdString());
    const bool added = co_await pending;
    if (added && alive) {
        newGroup_->clear();
    }
    co_return added;
}

QCoro::Task<> GroupsSheet::deleteGroup(AccountGroup group) {
    const bool confirmed =
        confirm(Confirmation{.title = Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Delete group “")) +
                                      QString::fromStdString(group.name) +
                                      Texts::text(QT_TRANSLATE_NOOP("Zemlar", "”?")),
                             .message = Texts::text(QT_TRANSLATE_NOOP(
                                 "Zemlar", "Its accounts are kept and move to No Group.")),
                             .confirmButton = Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Delete")),
                             .destructive = true});
    if (!confirmed) {
        co_return;
    }
    // The model outlives its sheets; it is used, not this sheet, after the awaits.
    AccountsModel& model = model_;
    QCoro::Task<> removing = model.removeGroup(group.id);
    co_await removing;
    if (model.errorMessage()) {
        co_return; // a reload would clear the failure's text before anyone read it
    }
    QCoro::Task<> reloading = model.reload();
    co_await reloading;
}

void GroupsSheet::render() {
    error_->setText(model_.errorMessage().value_or(QString()));
    error_->setVisible(model_.errorMessage().has_value());
    std::vector<std::pair<AccountGroup, int>> shown;
    for (const auto& group : model_.groups()) {
        const auto count =
            std::count_if(model_.accounts().begin(), model_.accounts().end(),
                          [&](const Account& account) { return account.groupID == group.id; });
        shown.emplace_back(group, static_cast<int>(count));
    }
    if (shown == shown_) {
        return; // keeps the fields as the user is typing in them
    }
    shown_ = std::move(shown);
    for (auto* row : rows_) {
        row->deleteLater();
        row->hide();
    }
    rows_.clear();
    for (const auto& [group, count] : shown_) {
        auto* row = new GroupRow(model_, group, count);
        connect(row, &GroupRow::deleteRequested, this,
                [this](const AccountGroup& chosen) { deleteGroup(chosen); });
        rowsLayout_->insertWidget(rowsLayout_->count() - 1, row);
        rows_.push_back(row);
    }
    empty_->setVisible(shown_.empty());
}

void GroupsSheet::updateAdd() {
    add_->setEnabled(!newGroup_->text().trimmed().isEmpty());
}

} // namespace zemlar
