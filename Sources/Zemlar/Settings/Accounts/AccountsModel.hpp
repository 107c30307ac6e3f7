// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppEnvironment.hpp"

#include <OTPCore/Account.hpp>
#include <OTPCore/AccountGroup.hpp>
#include <OTPCore/AccountList.hpp>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <qcoro/qcorotask.h>
#include <string>

namespace zemlar {

struct AccountEdit;
class AccountFlowError;
class GroupFlowError;

/// The state of the accounts screen: the lists as last loaded or returned by a flow, and the
/// last error. Every change goes through the account and group flows on a background task;
/// the results are applied here on the main thread and announced with `changed()`. A failure
/// becomes the error text and a log line, and leaves the lists as they were. The secrets
/// themselves (the QR code and the recovery codes) are read only once `unlock` agreed.
class AccountsModel : public QObject {
    Q_OBJECT

public:
    /// True when secrets may be shown now; it may ask the owner first (the session lock).
    using Unlock = std::function<QCoro::Task<bool>()>;

    AccountsModel(AppEnvironment environment, std::function<void()> onChange, Unlock unlock,
                  QObject* parent = nullptr);

    const Accounts& accounts() const { return accounts_; }
    /// In name order.
    const Groups& groups() const { return groups_; }
    /// The last error's text for the user; cleared by the next success.
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    const AppEnvironment& environment() const { return environment_; }

    /// Loads both lists; when either fails, neither is replaced.
    QCoro::Task<> reload();
    QCoro::Task<bool> edit(UUID id, AccountEdit edit);
    /// No group identifier takes the account out of its group.
    QCoro::Task<> move(UUID id, std::optional<UUID> groupID);
    /// Deletes the account and its secret.
    QCoro::Task<> remove(UUID id);
    QCoro::Task<bool> addGroup(std::string name);
    QCoro::Task<bool> renameGroup(UUID id, std::string name);
    /// Deletes the group; its accounts move to no group (reload to see them there).
    QCoro::Task<> removeGroup(UUID id);
    /// The account's recovery codes as text, one per line; nothing when they cannot be read or
    /// the unlock was refused.
    QCoro::Task<std::optional<std::string>> recoveryCodes(Account account);
    /// Stores the codes of the text (an empty text removes them); false when storing failed.
    QCoro::Task<bool> setRecoveryCodes(std::string text, Account account);
    /// The PNG of the account's otpauth link as a QR code; nothing when the unlock was refused,
    /// the secret cannot be read or the image cannot be made (no error text either way).
    QCoro::Task<std::optional<Bytes>> qrCode(Account account);

signals:
    void changed();

private:
    /// Runs a flow off the main thread on the environment, then shows its list or its error.
    template <typename Work> QCoro::Task<bool> change(Work work);
    void apply(Accounts accounts);
    void apply(Groups groups);
    void report(const AccountFlowError& error);
    void report(const GroupFlowError& error);
    void succeed();

    Accounts accounts_;
    Groups groups_;
    std::optional<QString> errorMessage_;
    AppEnvironment environment_;
    std::function<void()> onChange_;
    Unlock unlock_;
};

} // namespace zemlar
