// SPDX-License-Identifier: GPL-3.0-or-later
// The accounts screen over real list files in a temporary folder and a vault in memory, with
// switches that make a store fail.
#pragma once

#include "AccountEdit.hpp"
#include "AccountsModel.hpp"
#include "AppDoubles.hpp"
#include "AppEnvironment.hpp"

#include <QTemporaryDir>
#include <ZemlarKit/ZemlarKit.hpp>
#include <deque>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>

namespace zemlar::testing {

/// A list store that passes through to a real one unless told to fail.
template <class Protocol, class List> class SwitchableListStore : public Protocol {
public:
    explicit SwitchableListStore(std::shared_ptr<Protocol> inner) : inner(std::move(inner)) {}
    Result<List, AccountStoreError> load() override {
        return failLoad ? Result<List, AccountStoreError>(fail(*failLoad)) : inner->load();
    }
    Result<void, AccountStoreError> save(const List& list) override {
        return failSave ? Result<void, AccountStoreError>(fail(*failSave)) : inner->save(list);
    }
    std::shared_ptr<Protocol> inner;
    std::optional<AccountStoreError> failLoad;
    std::optional<AccountStoreError> failSave;
};

class SwitchableSecretStore : public VaultSecretStore {
public:
    using VaultSecretStore::VaultSecretStore;
    Result<Bytes, SecretStoreError> read(const UUID& id) override {
        return failRead ? Result<Bytes, SecretStoreError>(fail(SecretStoreError::keychain(-7)))
                        : VaultSecretStore::read(id);
    }
    Result<void, SecretStoreError> remove(const UUID& id) override {
        return failRemove ? Result<void, SecretStoreError>(fail(SecretStoreError::keychain(-7)))
                          : VaultSecretStore::remove(id);
    }
    bool failRead = false;
    bool failRemove = false;
};

class SwitchableRecoveryStore : public VaultRecoveryCodeStore {
public:
    using VaultRecoveryCodeStore::VaultRecoveryCodeStore;
    Result<RecoveryCodeMap, SecretStoreError> readAll() override {
        if (failRead) {
            return fail(SecretStoreError::invalidData());
        }
        return VaultRecoveryCodeStore::readAll();
    }
    Result<void, SecretStoreError> setCodes(const std::vector<std::string>& codes,
                                            const UUID& id) override {
        if (failWrite) {
            return fail(SecretStoreError::keychain(-7));
        }
        return VaultRecoveryCodeStore::setCodes(codes, id);
    }
    bool failRead = false;
    bool failWrite = false;
};

using SwitchableAccountStore = SwitchableListStore<AccountStore, Accounts>;
using SwitchableGroupStore = SwitchableListStore<GroupStore, Groups>;

class AccountsScreenTest : public ::testing::Test {
public:
    std::filesystem::path file(const char* name) const {
        return std::filesystem::path(folder.path().toStdString()) / name;
    }
    void writeFile(const char* name, const std::string& contents) const {
        std::ofstream(file(name)) << contents;
    }
    AppEnvironment environment() const {
        return listEnvironment(accountStore, groupStore, secretStore, recoveryStore);
    }
    Account addAccount(std::string issuer, std::string name, Bytes secret = Bytes(20, 7)) {
        const OTPAuthEntry entry(std::move(issuer), std::move(name), std::move(secret),
                                 OTPParameters::standard());
        const UUID id = RandomBytes::uuid();
        EXPECT_TRUE(
            AccountFlows::add(entry, id, Date(1'700'000'000), *accountStore->inner, *secretStore));
        return entry.account(id, Date(1'700'000'000));
    }
    AccountGroup addGroup(const std::string& name) {
        const UUID id = RandomBytes::uuid();
        EXPECT_TRUE(GroupFlows::add(name, id, *groupStore->inner));
        return AccountGroup{.id = id, .name = name};
    }
    static void run(QCoro::Task<> task) { QCoro::waitFor(std::move(task)); }
    template <class T> static T run(QCoro::Task<T> task) { return QCoro::waitFor(std::move(task)); }

    QTemporaryDir folder;
    std::shared_ptr<SecretVault> vault =
        std::make_shared<SecretVault>(std::make_unique<InMemoryVaultStorage>());
    std::shared_ptr<SwitchableAccountStore> accountStore = std::make_shared<SwitchableAccountStore>(
        std::make_shared<FileAccountStore>(file("accounts.json")));
    std::shared_ptr<SwitchableGroupStore> groupStore = std::make_shared<SwitchableGroupStore>(
        std::make_shared<FileGroupStore>(file("groups.json")));
    std::shared_ptr<SwitchableSecretStore> secretStore =
        std::make_shared<SwitchableSecretStore>(vault);
    std::shared_ptr<SwitchableRecoveryStore> recoveryStore =
        std::make_shared<SwitchableRecoveryStore>(vault);
    int changes = 0;
    /// The session lock's answers, in order (true when none are left), and how often it asked.
    std::deque<bool> unlockAnswers;
    int unlockRequests = 0;
    AccountsModel model{environment(), [this] { ++changes; }, [this] { return answerUnlock(); }};

private:
    QCoro::Task<bool> answerUnlock() {
        ++unlockRequests;
        bool answer = true;
        if (!unlockAnswers.empty()) {
            answer = unlockAnswers.front();
            unlockAnswers.pop_front();
        }
        co_return answer;
    }
};

} // namespace zemlar::testing
