// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AccountsModel.hpp"

#include <QDialog>
#include <qcoro/qcorotask.h>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace zemlar {

struct AccountEdit;

/// Edits one account's issuer, name, group, sites and Return setting. Closes only when the
/// model stored the change; a failure stays open with the error shown on the screen behind.
class EditSheet : public QDialog {
    Q_OBJECT

public:
    EditSheet(AccountsModel& model, const Account& account, QWidget* parent = nullptr);

    /// The values as currently entered.
    AccountEdit currentEdit() const;
    /// Whether "Save" may be pressed: issuer and name together are not blank.
    bool canSave() const;
    QPushButton* saveButton() const { return save_; }

    /// Stores the entered values; accepts the sheet when that worked.
    QCoro::Task<bool> saveChanges();

private:
    void updateSave();

    AccountsModel& model_;
    Account account_;
    QLineEdit* issuer_;
    QLineEdit* name_;
    QComboBox* group_;
    QLineEdit* sites_;
    QCheckBox* pressesReturn_;
    QPushButton* save_;
};

} // namespace zemlar
