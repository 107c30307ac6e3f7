// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelModel.hpp"

#include "AppLog.hpp"

#include <OTPCore/AccountSearch.hpp>
#include <OTPCore/Crypto.hpp>
#include <OTPCore/HOTP.hpp>
#include <OTPCore/TOTP.hpp>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <chrono>
#include <memory>
#include <qcoro/qcorofuture.h>

namespace zemlar {
namespace {

struct Loaded {
    Result<Accounts, AccountStoreError> accounts;
    Groups groups;
    /// Shared, not copied, on its way through the future.
    std::shared_ptr<LockedSecrets> secrets;
};

Loaded load(const AppEnvironment& environment) {
    auto groups = environment.groupStore->load();
    auto secrets = environment.secretStore->readAll();
    return Loaded{
        .accounts = environment.accountStore->load(),
        .groups = groups ? std::move(*groups) : Groups{},
        .secrets = std::make_shared<LockedSecrets>(secrets ? std::move(*secrets) : SecretMap{}),
    };
}

} // namespace

PanelModel::PanelModel(AppEnvironment environment, Clock clock, QObject* parent)
    : QObject(parent), environment(std::move(environment)), clock_(std::move(clock)) {}

PanelModel::Clock PanelModel::systemClock() {
    return [] {
        const auto since = std::chrono::system_clock::now().time_since_epoch();
        return Date(std::chrono::duration<double>(since).count());
    };
}

QCoro::Task<> PanelModel::open(std::optional<std::string> newHost) {
    host = std::move(newHost);
    query.clear();
    waitingUntil.reset();
    openedAt = clock_();
    ++openCount;
    loading = true;
    recomputeResults();
    emit changed();

    // Named, not a temporary inside the co_await: g++ 12 destroys such temporaries twice.
    QFuture<Loaded> pending = QtConcurrent::run(load, environment);
    const QPointer<PanelModel> alive(this);
    const int closingsBefore = closings_;
    Loaded loaded = co_await pending;
    if (!alive) {
        co_return; // the model went away while the lists were loading
    }

    if (loaded.accounts) {
        accounts = std::move(*loaded.accounts);
        loadFailed = false;
    } else {
        AppLog::error("panel",
                      "Список аккаунтов не загружен: " + loaded.accounts.error().describe());
        accounts.clear();
        loadFailed = true;
    }
    groups = std::move(loaded.groups);
    if (closings_ == closingsBefore) { // a panel closed meanwhile keeps no secrets
        secrets = std::move(*loaded.secrets);
    }
    loaded.secrets->clear();
    recomputeResults();
    selectFirst();
    loading = false;
    emit changed();
}

void PanelModel::setQuery(const std::string& text) {
    if (text == query || waitingUntil) {
        return;
    }
    query = text;
    recomputeResults();
    selectFirst();
    emit changed();
}

void PanelModel::moveSelection(int delta) {
    if (results_.empty()) {
        return;
    }
    const auto found = std::find_if(results_.begin(), results_.end(), [&](const Account& account) {
        return selectedID && account.id == *selectedID;
    });
    const long index = found == results_.end() ? 0 : found - results_.begin();
    const long target = std::clamp(index + delta, 0L, static_cast<long>(results_.size()) - 1);
    selectedID = results_[static_cast<std::size_t>(target)].id;
    emit changed();
}

std::optional<std::string> PanelModel::code(const Account& account, Date at) const {
    const auto found = secrets.find(account.id);
    if (!found) {
        return std::nullopt;
    }
    std::string code =
        HOTP::code(*found, TOTP::counter(at, account.parameters.period()), account.parameters);
    if (code.empty()) {
        return std::nullopt;
    }
    return code;
}

std::optional<Account> PanelModel::selected() const {
    if (!selectedID) {
        return std::nullopt;
    }
    for (const auto& account : results_) {
        if (account.id == *selectedID) {
            return account;
        }
    }
    return std::nullopt;
}

void PanelModel::setWaitingUntil(std::optional<Date> moment) {
    waitingUntil = moment;
    emit changed();
}

void PanelModel::select(const UUID& id) {
    selectedID = id;
    emit changed();
}

void PanelModel::clearForClosing() {
    ++closings_;
    secrets.clear();
    query.clear();
    waitingUntil.reset();
    host.reset();
    recomputeResults();
    emit changed();
}

void PanelModel::recomputeResults() {
    results_ = AccountSearch::rank(accounts, query, openedAt, host, groups);
}

void PanelModel::selectFirst() {
    selectedID = results_.empty() ? std::nullopt : std::optional<UUID>(results_.front().id);
}

} // namespace zemlar
