// SPDX-License-Identifier: GPL-3.0-or-later
// In-memory stores and sample accounts for the application's tests.
#pragma once

#include "AppEnvironment.hpp"
#include "WindowSystem.hpp"

#include <OTPCore/Account.hpp>
#include <OTPCore/OTPParameters.hpp>
#include <ZemlarKit/ZemlarKit.hpp>
#include <atomic>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>
#include <string>
#include <vector>

namespace zemlar::testing {

/// A session lock that never asks: secrets may always be shown.
inline QCoro::Task<bool> alwaysUnlocked() {
    co_return true;
}

/// A list held in memory, which can be told to fail to load.
template <class Protocol, class List> class ListStore : public Protocol {
public:
    Result<List, AccountStoreError> load() override {
        if (failLoad) {
            return fail(AccountStoreError::corrupted(AccountsCodecError::unsupportedVersion(9)));
        }
        return list;
    }
    Result<void, AccountStoreError> save(const List& saved) override {
        list = saved;
        return {};
    }
    List list;
    bool failLoad = false;
};
using ListAccountStore = ListStore<AccountStore, Accounts>;
using ListGroupStore = ListStore<GroupStore, Groups>;

/// Secrets in a vault in memory, which can be told to fail to read them and counts the readings.
class SimpleSecretStore : public VaultSecretStore {
public:
    SimpleSecretStore()
        : VaultSecretStore(
              std::make_shared<SecretVault>(std::make_unique<InMemoryVaultStorage>())) {}
    Result<SecretMap, SecretStoreError> readAll() override {
        ++readAlls;
        if (failRead) {
            return fail(SecretStoreError::keychain(-1));
        }
        return VaultSecretStore::readAll();
    }
    bool failRead = false;
    std::atomic<int> readAlls = 0;
};

/// A desktop whose front application never changes on its own.
class QuietWindowSystem : public WindowSystem {
public:
    std::optional<FrontApp> frontmost() override { return front; }
    void activate(const FrontApp& app) override { activated.push_back(app); }
    bool isThisApplicationActive() override { return active; }
    bool isThisApplication(const FrontApp& app) override { return app.pid == ownPid; }
    std::optional<FrontApp> front =
        FrontApp{.window = 7, .pid = 500, .wmClass = "Gedit", .title = {}};
    std::vector<FrontApp> activated;
    bool active = true;
    std::int64_t ownPid = 1;
};

struct Stores {
    std::shared_ptr<ListAccountStore> accounts = std::make_shared<ListAccountStore>();
    std::shared_ptr<ListGroupStore> groups = std::make_shared<ListGroupStore>();
    std::shared_ptr<SimpleSecretStore> secrets = std::make_shared<SimpleSecretStore>();

    AppEnvironment environment() const {
        return {.accountStore = accounts,
                .groupStore = groups,
                .secretStore = secrets,
                .keyStore = nullptr,
                .fileStore = nullptr,
                .takenStore = nullptr,
                .recoveryStore = nullptr};
    }
};

inline UUID uuid(int n) {
    char text[37];
    std::snprintf(text, sizeof text, "00000000-0000-4000-8000-%012d", n);
    return *UUID::parse(text);
}

inline Account account(int n, std::string issuer, std::string name = "",
                       std::int64_t useCount = 0) {
    Account result{.id = uuid(n),
                   .issuer = std::move(issuer),
                   .name = std::move(name),
                   .parameters = OTPParameters::standard(),
                   .createdAt = Date(1'700'000'000),
                   .lastUsedAt = std::nullopt,
                   .useCount = useCount,
                   .domains = {},
                   .groupID = std::nullopt,
                   .pressesReturn = false};
    if (useCount > 0) {
        result.lastUsedAt = Date(1'700'000'000);
    }
    return result;
}

/// The RFC 6238 SHA-1 secret "12345678901234567890".
inline Bytes rfcSecret() {
    const std::string text = "12345678901234567890";
    return Bytes(text.begin(), text.end());
}

} // namespace zemlar::testing
