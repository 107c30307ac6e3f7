// SPDX-License-Identifier: GPL-3.0-or-later
// Stores for tests: in memory, with failures injected at chosen calls.
#pragma once

#include <ZemlarKit/ZemlarKit.hpp>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>

namespace zemlar::testing {

/// Vault storage that fails its next loads or saves on demand.
class FaultyVaultStorage : public VaultStorage {
public:
    explicit FaultyVaultStorage(InMemoryVaultStorage& inner) : inner(inner) {}

    Result<std::optional<Bytes>, SecretStoreError> load() override {
        if (failLoad) {
            return fail(*failLoad);
        }
        return hidden ? std::optional<Bytes>{} : inner.load();
    }
    Result<void, SecretStoreError> save(const Bytes& document) override {
        return failSave ? fail(*failSave) : inner.save(document);
    }
    Result<void, SecretStoreError> create(const Bytes& document) override {
        return failSave ? fail(*failSave) : inner.create(document);
    }

    InMemoryVaultStorage& inner;
    std::optional<SecretStoreError> failLoad;
    std::optional<SecretStoreError> failSave;
    bool hidden = false; ///< loads report no document although one is stored
};

/// A secret store over a map, counting calls, failing any operation on demand.
class MapSecretStore : public SecretStore {
public:
    Result<void, SecretStoreError> add(const Bytes& secret, const UUID& id) override {
        if (++adds >= failAdd.value_or(INT_MAX)) {
            return fail(SecretStoreError::keychain(-1));
        }
        if (!secrets.try_emplace(id, secret).second) {
            return fail(SecretStoreError::duplicate());
        }
        return {};
    }
    Result<Bytes, SecretStoreError> read(const UUID& id) override {
        if (failRead) {
            return fail(SecretStoreError::keychain(-2));
        }
        const auto found = secrets.find(id);
        return found == secrets.end() ? fail(SecretStoreError::notFound())
                                      : Result<Bytes, SecretStoreError>(found->second);
    }
    Result<SecretMap, SecretStoreError> readAll() override { return secrets; }
    Result<void, SecretStoreError> remove(const UUID& id) override {
        ++removes;
        if (failRemove) {
            return fail(SecretStoreError::keychain(-3));
        }
        secrets.erase(id);
        return {};
    }
    Result<std::vector<UUID>, SecretStoreError> allIDs() override {
        if (failAllIDs) {
            return fail(SecretStoreError::keychain(-4));
        }
        std::vector<UUID> ids;
        for (const auto& [id, secret] : secrets) {
            ids.push_back(id);
        }
        return ids;
    }

    SecretMap secrets;
    int adds = 0;
    int removes = 0;
    std::optional<int> failAdd; ///< fails this add call (1-based) and every later one
    bool failRead = false;
    bool failRemove = false;
    bool failAllIDs = false;
};

class MapBackupKeyStore : public BackupKeyStore {
public:
    Result<std::optional<BackupCredentials>, SecretStoreError> load() override {
        return failLoad ? fail(SecretStoreError::keychain(-5))
                        : Result<std::optional<BackupCredentials>, SecretStoreError>(credentials);
    }
    Result<void, SecretStoreError> save(const BackupCredentials& saved) override {
        if (failSave) {
            return fail(SecretStoreError::keychain(-6));
        }
        credentials = saved;
        return {};
    }
    Result<void, SecretStoreError> clear() override {
        ++clears;
        credentials.reset();
        return {};
    }

    std::optional<BackupCredentials> credentials;
    int clears = 0;
    bool failLoad = false;
    bool failSave = false;
};

/// Wraps a real store; fails the chosen save call (1-based) or every load.
template <class Store, class List> class FaultyListStore : public Store {
public:
    explicit FaultyListStore(Store& inner) : inner(inner) {}

    Result<List, AccountStoreError> load() override {
        ++loads;
        return failLoads ? fail(AccountStoreError::readFailed()) : inner.load();
    }
    Result<void, AccountStoreError> save(const List& list) override {
        saveThread = std::this_thread::get_id();
        return failSave == ++saves ? fail(AccountStoreError::writeFailed()) : inner.save(list);
    }

    Store& inner;
    int loads = 0;
    int saves = 0;
    int failSave = 0;
    bool failLoads = false;
    std::thread::id saveThread;
};

using FaultyAccountStore = FaultyListStore<AccountStore, Accounts>;
using FaultyGroupStore = FaultyListStore<GroupStore, Groups>;

/// A fresh folder under the system's temporary folder, removed with everything in it.
struct ScratchFolder {
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zemlar-test.XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

inline Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

inline std::string textOf(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

inline UUID uuidNumber(std::uint8_t number) {
    UUID::Storage storage{};
    storage[15] = number;
    storage[6] = 0x40;
    return UUID(storage);
}

} // namespace zemlar::testing
