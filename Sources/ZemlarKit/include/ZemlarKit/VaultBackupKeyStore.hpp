// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/BackupKeyStore.hpp"
#include "ZemlarKit/SecretVault.hpp"

#include <memory>

namespace zemlar {

/// The backup credentials of the shared vault.
class VaultBackupKeyStore : public BackupKeyStore {
public:
    explicit VaultBackupKeyStore(std::shared_ptr<SecretVault> vault) : vault(std::move(vault)) {}

    Result<std::optional<BackupCredentials>, SecretStoreError> load() override;
    Result<void, SecretStoreError> save(const BackupCredentials& credentials) override;
    Result<void, SecretStoreError> clear() override;

    std::shared_ptr<SecretVault> vault;
};

} // namespace zemlar
