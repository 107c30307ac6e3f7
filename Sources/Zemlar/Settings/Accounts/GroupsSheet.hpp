// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Confirmation.hpp"

#include <OTPCore/AccountGroup.hpp>
#include <QDialog>
#include <qcoro/qcorotask.h>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace zemlar {

class AccountsModel;
class GroupRow;

/// Lists the groups to rename and delete, and adds new ones.
class GroupsSheet : public QDialog {
    Q_OBJECT

public:
    explicit GroupsSheet(AccountsModel& model, QWidget* parent = nullptr);

    /// Answers the deletion question; a message box unless replaced.
    Confirmation::Asker confirm;

    QLineEdit* newGroupField() const { return newGroup_; }
    QPushButton* addButton() const { return add_; }
    /// The model's error, shown in the sheet since the sheet covers the window's own.
    QLabel* errorLabel() const { return error_; }
    const std::vector<GroupRow*>& rows() const { return rows_; }

    /// Adds a group named as the field says; empties the field when that worked.
    QCoro::Task<bool> addGroup();
    /// Asks, then deletes the group and, when that worked, reloads the lists (its accounts
    /// move to no group).
    QCoro::Task<> deleteGroup(AccountGroup group);

private:
    void render();
    void updateAdd();

    AccountsModel& model_;
    QVBoxLayout* rowsLayout_;
    QLabel* empty_;
    QLineEdit* newGroup_;
    QPushButton* add_;
    QLabel* error_;
    std::vector<GroupRow*> rows_;
    /// What the rows show: each group with its number of accounts.
    std::vector<std::pair<AccountGroup, int>> shown_;
};

} // namespace zemlar
