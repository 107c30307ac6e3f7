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

    /// The stored document, or nothing when none is stored yet.
    virtual Result<std::optional<Bytes>, SecretStoreError> load() = 0;
    /// Stores the document, creating the item if needed.
    virtual Result<void, SecretStoreError> save(const Bytes& document) = 0;
};

} // namespace zemlar
