// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/BackupCredentials.hpp"
#include "ZemlarKit/SecretStoreError.hpp"

#include <OTPCore/Result.hpp>
#include <optional>

namespace zemlar {

/// The one set of backup credentials.
class BackupKeyStore {
public:
    virtual ~BackupKeyStore() = default;

    /// No credentials is a success without a value.
    virtual Result<std::optional<BackupCredentials>, SecretStoreError> load() = 0;
    virtual Result<void, SecretStoreError> save(const BackupCredentials& credentials) = 0;
    virtual Result<void, SecretStoreError> clear() = 0;
};

} // namespace zemlar
