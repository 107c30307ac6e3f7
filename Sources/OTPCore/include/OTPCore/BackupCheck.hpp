// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Account.hpp"
#include "OTPCore/BackupPayload.hpp"
#include "OTPCore/Date.hpp"
#include "OTPCore/Result.hpp"
#include "OTPCore/UUID.hpp"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace zemlar {

/// Whether a backup would bring back every local account with the same codes.
struct BackupCheckReport {
    Date exportedAt;
    /// Distinct account identifiers in the backup.
    std::int64_t accountsInBackup = 0;
    /// Titles of local accounts the backup lacks, in local list order.
    std::vector<std::string> missing;
    /// Titles of local accounts whose backup copy would give other codes, in local list order.
    std::vector<std::string> mismatched;
    /// Backup accounts that no longer exist locally.
    std::int64_t extra = 0;

    bool isComplete() const { return missing.empty() && mismatched.empty(); }

    bool operator==(const BackupCheckReport&) const = default;
};

namespace BackupCheck {

/// Compares by identifier (the first backup account of an identifier counts). Equal parameters
/// and equal secret bytes mean equal codes, so no code is computed; a local account without a
/// local secret is mismatched.
BackupCheckReport compare(const BackupPayload& payload, const std::vector<Account>& accounts,
                          const std::unordered_map<UUID, Bytes>& secrets);

} // namespace BackupCheck
} // namespace zemlar
