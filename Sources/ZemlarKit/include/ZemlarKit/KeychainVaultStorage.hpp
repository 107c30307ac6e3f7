// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/VaultStorage.hpp"

#include <string>
#include <string_view>

namespace zemlar {

/// The vault document as the data of the keychain item (service, "secrets").
class KeychainVaultStorage : public VaultStorage {
public:
    static constexpr std::string_view account = "secrets";
    /// The application's vault: its identifier followed by ".vault".
    static constexpr std::string_view applicationService = "app.zemlar.Zemlar.vault";

    explicit KeychainVaultStorage(std::string service) : service(std::move(service)) {}

    Result<std::optional<Bytes>, SecretStoreError> load() override;
    Result<void, SecretStoreError> save(const Bytes& document) override;
    Result<void, SecretStoreError> create(const Bytes& document) override;

    std::string service;
};

} // namespace zemlar
