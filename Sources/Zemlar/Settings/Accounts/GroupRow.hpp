// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AccountsModel.hpp"

#include <QWidget>
#include <qcoro/qcorotask.h>

class QLabel;
class QLineEdit;
class QToolButton;

namespace zemlar {

/// One group in the group sheet: its name to edit in place, its number of accounts and a
/// delete button. Return renames; a refused name goes back to the group's current name.
class GroupRow : public QWidget {
    Q_OBJECT

public:
    GroupRow(AccountsModel& model, const AccountGroup& group, int accountCount,
             QWidget* parent = nullptr);

    const AccountGroup& group() const { return group_; }
    QLineEdit* nameField() const { return name_; }
    QToolButton* deleteButton() const { return delete_; }

    /// Renames the group to the field's text; false (and the old name back) when refused.
    QCoro::Task<bool> rename();

signals:
    void deleteRequested(const zemlar::AccountGroup& group);

private:
    AccountsModel& model_;
    AccountGroup group_;
    QLineEdit* name_;
    QLabel* count_;
    QToolButton* delete_;
};

} // namespace zemlar
