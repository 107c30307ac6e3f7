// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/SecretStoreError.hpp"

#include <OTPCore/Result.hpp>
#include <OTPCore/UUID.hpp>
#include <map>
#include <set>
#include <vector>

namespace zemlar {

using SecretMap = std::map<UUID, Bytes>;

/// Per-account TOTP secrets, keyed by account identifier.
class SecretStore {
public:
    virtual ~SecretStore() = default;

    /// duplicate when the account already has a secret.
    virtual Result<void, SecretStoreError> add(const Bytes& secret, const UUID& id) = 0;
    /// Adds each secret whose account has none yet and gives the identifiers that had one
    /// (their stored secrets stay as they are). Any other failure adds nothing. The default adds
    /// one by one and removes what it added when one fails; a store of one document writes it
    /// once.
    virtual Result<std::set<UUID>, SecretStoreError> addAll(const SecretMap& secrets);
    virtual Result<Bytes, SecretStoreError> read(const UUID& id) = 0;
    virtual Result<SecretMap, SecretStoreError> readAll() = 0;
    /// Deletes the account's secret; succeeds also when there is nothing to delete.
    virtual Result<void, SecretStoreError> remove(const UUID& id) = 0;
    virtual Result<std::vector<UUID>, SecretStoreError> allIDs() = 0;
    /// Makes the store hold exactly `secrets`. The default reads everything, adds the new
    /// entries, replaces the changed ones (remove, then add) and removes the stale ones last,
    /// stopping at the first failure.
    virtual Result<void, SecretStoreError> replaceAll(const SecretMap& secrets);
};

} // namespace zemlar
