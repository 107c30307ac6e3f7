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

QCoro::Task<> PanelModel::open() {
    host.reset();
    query.clear();
    waitingUntil.reset();
    openedAt = clock_();
    const int opening = ++openCount;
    isOpen_ = true;
    loading = true;
    recomputeResults();
    selectFirst();
    emit changed();

    // Named, not a temporary inside the co_await: g++ 12 destroys such temporaries twice.
    QFuture<Loaded> pending = QtConcurrent::run(load, environment);
    const QPointer<PanelModel> alive(this);
    Loaded loaded = co_await pending;
    if (!alive || !isCurrent(opening)) {
        loaded.secrets->clear(); // the panel closed meanwhile: it keeps no secrets
        co_return;
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
    secrets = std::move(*loaded.secrets);
    loaded.secrets->clear();
    recomputeResults();
    selectFirst();
    loading = false;
    emit changed();
}

void PanelModel::setHost(int opening, std::optional<std::string> newHost) {
    if (!isCurrent(opening) || waitingUntil || newHost == host) {
        return;
    }
    host = std::move(newHost);
    recomputeResults();
    selectFirst();
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
    if (ranking_.empty()) {
        return;
    }
    const long count = static_cast<long>(ranking_.size());
    const long index = selectedRow().value_or(0);
    const long target = std::clamp(index + delta, 0L, count - 1);
    selectedID = result(static_cast<std::size_t>(target)).id;
    emit changed();
}

std::optional<long> PanelModel::selectedRow() const {
    if (!selectedID) {
        return std::nullopt;
    }
    for (std::size_t row = 0; row < ranking_.size(); ++row) {
        if (result(row).id == *selectedID) {
            return static_cast<long>(row);
        }
    }
    return std::nullopt;
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
    const auto row = selectedRow();
    return row ? std::optional(result(static_cast<std::size_t>(*row))) : std::nullopt;
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
    isOpen_ = false;
    loading = false;
    secrets.clear();
    query.clear();
    waitingUntil.reset();
    host.reset();
    recomputeResults();
    emit changed();
}

void PanelModel::recomputeResults() {
    ranking_ = AccountSearch::rank(accounts, query, openedAt, host, groups);
}

void PanelModel::selectFirst() {
    selectedID = ranking_.empty() ? std::nullopt : std::optional<UUID>(result(0).id);
}

} // namespace zemlar
