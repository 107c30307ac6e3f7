// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/SecretStoreError.hpp"

#include <OTPCore/Result.hpp>
#include <optional>

namespace zemlar {

/// Where the vault document lives.
class VaultStorage {
public:
    virtual ~VaultStorage() = default;

    /// The stored document, or nothing when it is certain that none is stored anywhere. A
    /// document that exists but cannot be read (a locked keyring) is an error, never nothing.
    virtual Result<std::optional<Bytes>, SecretStoreError> load() = 0;
    /// Replaces the stored document where it lives; notFound when none is stored.
    virtual Result<void, SecretStoreError> save(const Bytes& document) = 0;
    /// Stores the first document; duplicate when one is stored already.
    virtual Result<void, SecretStoreError> create(const Bytes& document) = 0;
};

} // namespace zemlar
