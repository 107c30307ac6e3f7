// SPDX-License-Identifier: GPL-3.0-or-later
#include "GroupRow.hpp"

#include "AccountsModel.hpp"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStyle>
#include <QToolButton>
#include <ZemlarScreens/ScreenStyle.hpp>
#include <ZemlarScreens/Texts.hpp>

namespace zemlar {

GroupRow::GroupRow(AccountsModel& model, const AccountGroup& group, int accountCount,
                   QWidget* parent)
    : QWidget(parent), model_(model), group_(group),
      name_(new QLineEdit(QString::fromStdString(group.name), this)),
      count_(ScreenStyle::label(QString::number(accountCount), this)),
      delete_(new QToolButton(this)) {
    name_->setObjectName(QStringLiteral("groupName"));
    name_->setAccessibleName(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Group name")));
    count_->setObjectName(QStringLiteral("accountCount"));
    count_->setMinimumWidth(24);
    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ScreenStyle::makeSecondary(count_);
    const QString deleteText = Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Delete Group"));
    delete_->setObjectName(QStringLiteral("deleteGroup"));
    delete_->setIcon(QIcon::fromTheme(QStringLiteral("user-trash"),
                                      style()->standardIcon(QStyle::SP_TrashIcon)));
    delete_->setToolTip(deleteText);
    delete_->setAccessibleName(deleteText);
    delete_->setAutoRaise(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(name_, 1);
    layout->addWidget(count_);
    layout->addWidget(delete_);

    connect(name_, &QLineEdit::returnPressed, this, [this] { rename(); });
    connect(delete_, &QToolButton::clicked, this, [this] { emit deleteRequested(group_); });
}

QCoro::Task<bool> GroupRow::rename() {
    QPointer<GroupRow> alive(this);
    const std::string name = name_->text().toStdString();
    QCoro::Task<bool> pending = model_.renameGroup(group_.id, name);
    const bool renamed = co_await pending;
    if (alive) {
        if (renamed) {
            for (const auto& group : model_.groups()) {
                if (group.id == group_.id) {
                    group_ = group;
                }
            }
        }
        name_->setText(QString::fromStdString(group_.name));
    }
    co_return renamed;
}

} // namespace zemlar
