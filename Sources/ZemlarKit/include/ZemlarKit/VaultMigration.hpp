// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/BackupKeyStore.hpp"
#include "ZemlarKit/SecretStore.hpp"

#include <cstdint>

namespace zemlar {

struct VaultMigrationReport {
    /// Secrets moved whose old item was removed in this run.
    std::int64_t movedSecrets = 0;
    /// Whether old backup credentials were found and dealt with in this run.
    bool movedBackupKey = false;

    bool operator==(const VaultMigrationReport&) const = default;
};

namespace VaultMigration {

/// Moves every old secret and the old backup credentials into the new stores. An old item is
/// removed only once its copy reads back equal from the new store; a secret already there with
/// other bytes is never overwritten and its old item stays. Credentials already in the new
/// store are kept.
Result<VaultMigrationReport, SecretStoreError> run(SecretStore& legacySecrets,
                                                   BackupKeyStore& legacyKeys, SecretStore& secrets,
                                                   BackupKeyStore& keys);

} // namespace VaultMigration
} // namespace zemlar
