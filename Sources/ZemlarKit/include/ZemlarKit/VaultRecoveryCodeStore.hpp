// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/RecoveryCodeStore.hpp"
#include "ZemlarKit/SecretVault.hpp"

#include <memory>

namespace zemlar {

/// The recovery codes of the shared vault.
class VaultRecoveryCodeStore : public RecoveryCodeStore {
public:
    explicit VaultRecoveryCodeStore(std::shared_ptr<SecretVault> vault) : vault(std::move(vault)) {}

    /// Entries whose key is not an identifier are left out.
    Result<RecoveryCodeMap, SecretStoreError> readAll() override;
    /// When no account has codes left, the document loses its "recovery" member.
    Result<void, SecretStoreError> setCodes(const std::vector<std::string>& codes,
                                            const UUID& id) override;

    std::shared_ptr<SecretVault> vault;
};

} // namespace zemlar
