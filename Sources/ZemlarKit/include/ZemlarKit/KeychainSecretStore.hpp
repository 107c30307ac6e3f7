// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/SecretStore.hpp"

#include <string>
#include <string_view>

namespace zemlar {

/// The older layout of secrets: one keychain item per account (service, identifier text),
/// holding the raw secret bytes. Read and emptied by the vault migration.
class KeychainSecretStore : public SecretStore {
public:
    /// The application's older items: its identifier itself.
    static constexpr std::string_view applicationService = "app.zemlar.Zemlar";

    explicit KeychainSecretStore(std::string service) : service(std::move(service)) {}

    Result<void, SecretStoreError> add(const Bytes& secret, const UUID& id) override;
    Result<Bytes, SecretStoreError> read(const UUID& id) override;
    /// allIDs, then each read in that order; the first failure ends it.
    Result<SecretMap, SecretStoreError> readAll() override;
    Result<void, SecretStoreError> remove(const UUID& id) override;
    /// Account names that are not identifiers are skipped.
    Result<std::vector<UUID>, SecretStoreError> allIDs() override;

    std::string service;
};

} // namespace zemlar
