// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/SecretStore.hpp"
#include "ZemlarKit/SecretVault.hpp"

#include <memory>

namespace zemlar {

/// The account secrets of the shared vault.
class VaultSecretStore : public SecretStore {
public:
    explicit VaultSecretStore(std::shared_ptr<SecretVault> vault) : vault(std::move(vault)) {}

    Result<void, SecretStoreError> add(const Bytes& secret, const UUID& id) override;
    /// One update of the vault for all of them.
    Result<std::set<UUID>, SecretStoreError> addAll(const SecretMap& secrets) override;
    Result<Bytes, SecretStoreError> read(const UUID& id) override;
    /// Entries whose key is not an identifier are left out.
    Result<SecretMap, SecretStoreError> readAll() override;
    /// Also removes the account's recovery codes.
    Result<void, SecretStoreError> remove(const UUID& id) override;
    Result<std::vector<UUID>, SecretStoreError> allIDs() override;
    /// Secrets become exactly the map; backup credentials and recovery codes are kept.
    Result<void, SecretStoreError> replaceAll(const SecretMap& secrets) override;

    std::shared_ptr<SecretVault> vault;
};

} // namespace zemlar
