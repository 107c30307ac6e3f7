// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Confirmation.hpp"

#include <OTPCore/Account.hpp>
#include <OTPCore/UUID.hpp>
#include <QPointer>
#include <QWidget>
#include <optional>
#include <qcoro/qcorotask.h>

class QDialog;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;

namespace zemlar {

class AccountsModel;

/// The Accounts tab: every account in sections by group, with editing, moving, deleting, the
/// QR code, recovery codes and the groups. Reloads the lists whenever it is shown.
class AccountsView : public QWidget {
    Q_OBJECT

public:
    explicit AccountsView(AccountsModel& model, QWidget* parent = nullptr);

    /// Answers the deletion and QR-code questions; a message box unless replaced.
    Confirmation::Asker confirm;

    QTreeWidget* list() const { return list_; }
    QLabel* emptyLabel() const { return empty_; }
    QLabel* errorLabel() const { return error_; }
    QPushButton* editButton() const { return edit_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* groupsButton() const { return groups_; }
    /// The sheet currently open over the screen, if any.
    QDialog* sheet() const { return sheet_; }

    std::optional<Account> selectedAccount() const;
    void select(const UUID& id);

    /// The context menu of an account's row: "Move to Group", "Edit…", "Show QR Code…",
    /// "Recovery Codes…" and "Delete…".
    QMenu* makeContextMenu(const Account& account, QWidget* parent);

    void editAccount(const Account& account);
    void openRecoveryCodes(const Account& account);
    void openGroups();
    /// Asks, then deletes the account and its secret.
    QCoro::Task<> deleteAccount(Account account);
    /// Asks, then shows the account's QR code; shows nothing when it cannot be made.
    QCoro::Task<> showQRCode(Account account);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void render();
    void updateButtons();
    void openSheet(QDialog* sheet);
    std::optional<Account> account(const UUID& id) const;

    AccountsModel& model_;
    QTreeWidget* list_;
    QLabel* empty_;
    QPushButton* edit_;
    QPushButton* delete_;
    QPushButton* groups_;
    QLabel* error_;
    std::optional<UUID> selectedID_;
    QPointer<QDialog> sheet_;
};

} // namespace zemlar
