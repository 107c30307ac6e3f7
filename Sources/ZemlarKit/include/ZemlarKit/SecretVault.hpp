// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/VaultContents.hpp"
#include "ZemlarKit/VaultStorage.hpp"

#include <functional>
#include <memory>
#include <mutex>

namespace zemlar {

/// The one vault document behind the secret, recovery-code and backup-key stores. Every read
/// and every read-modify-write holds one non-recursive lock across the whole storage round
/// trip, so no two changes interleave. Nothing is cached: each call reads the storage afresh.
class SecretVault {
public:
    /// Changes the contents in place; its failure cancels the change. Must not call back into
    /// the vault (the lock is not recursive).
    using Body = std::function<Result<void, SecretStoreError>(VaultContents&)>;

    explicit SecretVault(std::unique_ptr<VaultStorage> storage);
    SecretVault(const SecretVault&) = delete;
    SecretVault& operator=(const SecretVault&) = delete;

    /// The stored contents; version 1 and empty when nothing is stored yet.
    Result<VaultContents, SecretStoreError> read();
    /// Loads, runs `body` on a copy and saves the copy, unless it equals what was loaded.
    /// A load, decode or body failure writes nothing. A document is created only when the
    /// storage proved that none existed; otherwise the stored one is replaced where it lives.
    Result<void, SecretStoreError> update(const Body& body);

private:
    struct Loaded {
        VaultContents contents;
        bool stored = false;
    };

    Result<Loaded, SecretStoreError> loadLocked();

    std::unique_ptr<VaultStorage> storage_;
    std::mutex lock_;
};

} // namespace zemlar
