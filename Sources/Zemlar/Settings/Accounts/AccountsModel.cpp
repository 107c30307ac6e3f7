// SPDX-License-Identifier: GPL-3.0-or-later
#include "AccountsModel.hpp"

#include "AccountEdit.hpp"
#include "AppLog.hpp"

#include <OTPCore/Crypto.hpp>
#include <OTPCore/GroupList.hpp>
#include <OTPCore/OTPAuthURI.hpp>
#include <OTPCore/RecoveryCodes.hpp>
#include <OTPCore/Sites.hpp>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>
#include <ZemlarKit/AccountFlows.hpp>
#include <ZemlarKit/GroupFlows.hpp>
#include <ZemlarKit/QRImage.hpp>
#include <ZemlarKit/RandomBytes.hpp>
#include <ZemlarKit/StoreGate.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <algorithm>
#include <qcoro/qcorofuture.h>
#include <variant>

namespace zemlar {
namespace {

constexpr std::string_view category = "accounts";

using AccountOutcome = Result<Accounts, AccountFlowError>;

/// Both lists, or the error of the first that failed to load.
struct Loaded {
    std::variant<std::monostate, AccountFlowError, GroupFlowError> failure;
    Accounts accounts;
    Groups groups;
};

Loaded load(const AppEnvironment& environment) {
    Loaded loaded;
    auto accounts = environment.accountStore->load();
    if (!accounts) {
        loaded.failure = AccountFlowError::accounts(accounts.error());
        return loaded;
    }
    auto groups = environment.groupStore->load();
    if (!groups) {
        loaded.failure = GroupFlowError::groups(groups.error());
        return loaded;
    }
    loaded.accounts = std::move(*accounts);
    loaded.groups = std::move(*groups);
    return loaded;
}

struct Removal {
    AccountOutcome outcome;
    /// Whether the stored list still held the account before the deletion.
    bool wasListed = false;
};

/// Deletes the account; one that is no longer listed still loses any secret left behind.
Removal removeAccount(const AppEnvironment& environment, const UUID& id) {
    // The look and the deletion see the same list.
    const StoreGate::Hold hold;
    const auto before = environment.accountStore->load();
    const bool listed = before && std::any_of(before->begin(), before->end(),
                                              [&](const Account& each) { return each.id == id; });
    return Removal{
        .outcome = AccountFlows::remove(id, *environment.accountStore, *environment.secretStore),
        .wasListed = listed};
}

void wipeCodes(std::vector<std::string>& codes) {
    for (std::string& code : codes) {
        Crypto::wipe(code);
    }
}

std::optional<Bytes> qrImage(const AppEnvironment& environment, const Account& account) {
    auto secret = environment.secretStore->read(account.id);
    if (!secret) {
        return std::nullopt;
    }
    std::string link = OTPAuthURI::make(account.issuer, account.name, *secret, account.parameters);
    Crypto::wipe(*secret);
    auto png = QRImage::png(link);
    Crypto::wipe(link);
    return png;
}

} // namespace

AccountsModel::AccountsModel(AppEnvironment environment, std::function<void()> onChange,
                             Unlock unlock, QObject* parent)
    : QObject(parent), environment_(std::move(environment)), onChange_(std::move(onChange)),
      unlock_(std::move(unlock)) {}

QCoro::Task<> AccountsModel::reload() {
    // Named, not a temporary inside the co_await: g++ 12 destroys such temporaries twice.
    QFuture<Loaded> pending = QtConcurrent::run(load, environment_);
    const QPointer<AccountsModel> alive(this);
    Loaded loaded = co_await pending;
    if (!alive) {
        co_return;
    }
    if (const auto* failure = std::get_if<AccountFlowError>(&loaded.failure)) {
        report(*failure);
    } else if (const auto* groupFailure = std::get_if<GroupFlowError>(&loaded.failure)) {
        report(*groupFailure);
    } else {
        accounts_ = std::move(loaded.accounts);
        groups_ = GroupList::sorted(loaded.groups);
        errorMessage_.reset();
        emit changed();
    }
}

template <typename Work> QCoro::Task<bool> AccountsModel::change(Work work) {
    using Outcome = std::invoke_result_t<Work, const AppEnvironment&>;
    QFuture<Outcome> pending = QtConcurrent::run(std::move(work), environment_);
    const QPointer<AccountsModel> alive(this);
    Outcome outcome = co_await pending;
    if (!alive) {
        co_return outcome.has_value();
    }
    if (!outcome) {
        report(outcome.error());
        co_return false;
    }
    apply(std::move(*outcome));
    co_return true;
}

QCoro::Task<bool> AccountsModel::edit(UUID id, AccountEdit edit) {
    auto changing = change([id, edit = std::move(edit)](const AppEnvironment& environment) {
        return AccountFlows::edit(id, edit.issuer, edit.name, Sites::parseList(edit.sites),
                                  edit.groupID, edit.pressesReturn, *environment.accountStore);
    });
    co_return co_await changing;
}

QCoro::Task<> AccountsModel::move(UUID id, std::optional<UUID> groupID) {
    auto changing = change([id, groupID](const AppEnvironment& environment) {
        return AccountFlows::setGroup(id, groupID, *environment.accountStore);
    });
    co_await changing;
}

QCoro::Task<> AccountsModel::remove(UUID id) {
    QFuture<Removal> pending = QtConcurrent::run(
        [environment = environment_, id] { return removeAccount(environment, id); });
    const QPointer<AccountsModel> alive(this);
    Removal removal = co_await pending;
    if (!alive) {
        co_return;
    }
    if (!removal.outcome) {
        report(removal.outcome.error());
    } else if (!removal.wasListed) {
        // Someone else deleted it first: show the fresh list and say so.
        accounts_ = std::move(*removal.outcome);
        report(AccountFlowError::list(AccountListError::notFound()));
    } else {
        apply(std::move(*removal.outcome));
    }
}

QCoro::Task<bool> AccountsModel::addGroup(std::string name) {
    auto changing = change([name = std::move(name)](const AppEnvironment& environment) {
        return GroupFlows::add(name, RandomBytes::uuid(), *environment.groupStore);
    });
    co_return co_await changing;
}

QCoro::Task<bool> AccountsModel::renameGroup(UUID id, std::string name) {
    auto changing = change([id, name = std::move(name)](const AppEnvironment& environment) {
        return GroupFlows::rename(id, name, *environment.groupStore);
    });
    co_return co_await changing;
}

QCoro::Task<> AccountsModel::removeGroup(UUID id) {
    auto changing = change([id](const AppEnvironment& environment) {
        return GroupFlows::remove(id, *environment.groupStore, *environment.accountStore);
    });
    co_await changing;
}

QCoro::Task<std::optional<std::string>> AccountsModel::recoveryCodes(Account account) {
    using Codes = Result<std::vector<std::string>, SecretStoreError>;
    const QPointer<AccountsModel> alive(this);
    auto unlocking = unlock_();
    const bool unlocked = co_await unlocking;
    if (!unlocked || !alive) {
        co_return std::nullopt;
    }
    QFuture<Codes> pending = QtConcurrent::run([environment = environment_, id = account.id] {
        return environment.recoveryStore->codes(id);
    });
    Codes codes = co_await pending;
    if (!codes) {
        if (alive) {
            report(AccountFlowError::secrets(codes.error()));
        }
        co_return std::nullopt;
    }
    std::string text = RecoveryCodes::text(*codes);
    wipeCodes(*codes);
    co_return text;
}

QCoro::Task<bool> AccountsModel::setRecoveryCodes(std::string text, Account account) {
    using Stored = Result<void, SecretStoreError>;
    auto codes = std::make_shared<std::vector<std::string>>(RecoveryCodes::parse(text));
    Crypto::wipe(text);
    QFuture<Stored> pending =
        QtConcurrent::run([environment = environment_, codes, id = account.id] {
            const StoreGate::Hold hold;
            const auto stored = environment.recoveryStore->setCodes(*codes, id);
            wipeCodes(*codes);
            return stored;
        });
    const QPointer<AccountsModel> alive(this);
    Stored stored = co_await pending;
    if (!alive) {
        co_return stored.has_value();
    }
    if (!stored) {
        report(AccountFlowError::secrets(stored.error()));
        co_return false;
    }
    succeed();
    co_return true;
}

QCoro::Task<std::optional<Bytes>> AccountsModel::qrCode(Account account) {
    const QPointer<AccountsModel> alive(this);
    auto unlocking = unlock_();
    const bool unlocked = co_await unlocking;
    if (!unlocked || !alive) {
        co_return std::nullopt;
    }
    QFuture<std::optional<Bytes>> pending =
        QtConcurrent::run([environment = environment_, account = std::move(account)] {
            return qrImage(environment, account);
        });
    std::optional<Bytes> png = co_await pending;
    co_return png;
}

void AccountsModel::apply(Accounts accounts) {
    accounts_ = std::move(accounts);
    succeed();
}

void AccountsModel::apply(Groups groups) {
    groups_ = GroupList::sorted(groups);
    succeed();
}

void AccountsModel::succeed() {
    errorMessage_.reset();
    emit changed();
    if (onChange_) {
        onChange_();
    }
}

void AccountsModel::report(const AccountFlowError& error) {
    AppLog::error(category, "Операция с аккаунтами не удалась: " + error.describe());
    errorMessage_ = Texts::text(std::string(AccountFlows::userText(error)).c_str());
    emit changed();
}

void AccountsModel::report(const GroupFlowError& error) {
    AppLog::error(category, "Операция с группами не удалась: " + error.describe());
    errorMessage_ = Texts::text(std::string(GroupFlows::userText(error)).c_str());
    emit changed();
}

} // namespace zemlar
