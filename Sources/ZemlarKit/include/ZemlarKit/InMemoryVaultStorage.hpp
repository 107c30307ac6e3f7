// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/VaultStorage.hpp"

#include <mutex>
#include <optional>

namespace zemlar {

/// A vault document kept in memory, for tests and tools. Counts its saves.
class InMemoryVaultStorage : public VaultStorage {
public:
    InMemoryVaultStorage() = default;
    explicit InMemoryVaultStorage(Bytes document) : document_(std::move(document)) {}
    ~InMemoryVaultStorage() override;

    Result<std::optional<Bytes>, SecretStoreError> load() override;
    Result<void, SecretStoreError> save(const Bytes& document) override;
    Result<void, SecretStoreError> create(const Bytes& document) override;

    std::optional<Bytes> document() const;
    int saveCount() const;

private:
    void replace(const Bytes& document);

    mutable std::mutex mutex_;
    std::optional<Bytes> document_;
    int saveCount_ = 0;
};

} // namespace zemlar
