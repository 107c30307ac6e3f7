// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/BackupKeyStore.hpp"

#include <string>
#include <string_view>

namespace zemlar {

/// The older item of the backup credentials: (service, "derived-key") holding their compact
/// JSON. Read and emptied by the vault migration.
class KeychainBackupKeyStore : public BackupKeyStore {
public:
    static constexpr std::string_view account = "derived-key";
    /// The application's older item: its identifier followed by ".backup".
    static constexpr std::string_view applicationService = "app.zemlar.Zemlar.backup";

    explicit KeychainBackupKeyStore(std::string service) : service(std::move(service)) {}

    /// invalidData when the item does not decode as credentials.
    Result<std::optional<BackupCredentials>, SecretStoreError> load() override;
    Result<void, SecretStoreError> save(const BackupCredentials& credentials) override;
    Result<void, SecretStoreError> clear() override;

    std::string service;
};

} // namespace zemlar
