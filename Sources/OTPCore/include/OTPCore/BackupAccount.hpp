// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Account.hpp"
#include "OTPCore/Result.hpp"

#include <optional>
#include <string>
#include <vector>

namespace zemlar {

/// One account in a backup, with everything needed to recreate it: its record without usage
/// statistics, its secret and its recovery codes. Optional members are absent in the file.
struct BackupAccount {
    UUID id;
    std::string issuer;
    std::string name;
    OTPParameters parameters;
    Bytes secret;
    Date createdAt;
    std::optional<std::vector<std::string>> domains;
    std::optional<UUID> groupID;
    std::optional<bool> pressesReturn;
    std::optional<std::vector<std::string>> recoveryCodes;

    /// The account with its secret and codes: domains always present, pressesReturn present
    /// (as true) only when set, recoveryCodes present only when there is at least one.
    static BackupAccount make(const Account& account, Bytes secret,
                              std::vector<std::string> recoveryCodes);

    /// The record to store: no last use, use count 0, missing domains empty, missing flag off.
    /// The secret and the recovery codes are stored separately.
    Account account() const;

    bool operator==(const BackupAccount&) const = default;
};

} // namespace zemlar
