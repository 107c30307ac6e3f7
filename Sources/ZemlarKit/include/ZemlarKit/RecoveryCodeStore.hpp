// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/SecretStoreError.hpp"

#include <OTPCore/Result.hpp>
#include <OTPCore/UUID.hpp>
#include <map>
#include <string>
#include <vector>

namespace zemlar {

using RecoveryCodeMap = std::map<UUID, std::vector<std::string>>;

/// Per-account recovery codes.
class RecoveryCodeStore {
public:
    virtual ~RecoveryCodeStore() = default;

    virtual Result<RecoveryCodeMap, SecretStoreError> readAll() = 0;
    /// An empty list removes the account's codes.
    virtual Result<void, SecretStoreError> setCodes(const std::vector<std::string>& codes,
                                                    const UUID& id) = 0;

    /// The account's codes, empty when it has none.
    Result<std::vector<std::string>, SecretStoreError> codes(const UUID& id);
};

} // namespace zemlar
