// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/SecretStoreError.hpp"

#include <OTPCore/Result.hpp>
#include <mutex>
#include <optional>

namespace zemlar {

/// Where the vault document lives.
class VaultStorage {
public:
    virtual ~VaultStorage() = default;

    /// The stored document, or nothing when none is stored yet.
    virtual Result<std::optional<Bytes>, SecretStoreError> load() = 0;
    /// Stores the document, creating the item if needed.
    virtual Result<void, SecretStoreError> save(const Bytes& document) = 0;
};

/// A vault document kept in memory, for tests and tools. Counts its saves.
class InMemoryVaultStorage : public VaultStorage {
public:
    InMemoryVaultStorage() = default;
    explicit InMemoryVaultStorage(Bytes document) : document_(std::move(document)) {}
    ~InMemoryVaultStorage() override;

    Result<std::optional<Bytes>, SecretStoreError> load() override;
    Result<void, SecretStoreError> save(const Bytes& document) override;

    std::optional<Bytes> document() const;
    int saveCount() const;

private:
    mutable std::mutex mutex_;
    std::optional<Bytes> document_;
    int saveCount_ = 0;
};

} // namespace zemlar
