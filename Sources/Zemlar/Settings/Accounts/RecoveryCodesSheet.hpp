// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AccountsModel.hpp"

#include <QDialog>
#include <qcoro/qcorotask.h>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace zemlar {

/// Shows and edits an account's recovery codes, one per line. Stays read-only, with "Save"
/// disabled, until the stored codes have been read, so a failed read is never saved over them.
class RecoveryCodesSheet : public QDialog {
    Q_OBJECT

public:
    RecoveryCodesSheet(AccountsModel& model, const Account& account, QWidget* parent = nullptr);

    bool loaded() const { return loaded_; }
    QPlainTextEdit* editor() const { return editor_; }
    QLabel* count() const { return count_; }
    QPushButton* saveButton() const { return save_; }

    /// Reads the stored codes into the editor (once; showing the sheet starts it).
    QCoro::Task<> load();
    /// Stores the editor's codes; accepts the sheet when that worked.
    QCoro::Task<bool> saveCodes();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void updateCount();

    AccountsModel& model_;
    Account account_;
    bool loaded_ = false;
    bool loadStarted_ = false;
    QPlainTextEdit* editor_;
    QLabel* count_;
    QPushButton* save_;
};

} // namespace zemlar
