// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Account.hpp"
#include "OTPCore/AccountGroup.hpp"
#include "OTPCore/BackupAccount.hpp"
#include "OTPCore/Result.hpp"
#include "OTPCore/UUID.hpp"

#include <cstdint>
#include <set>
#include <unordered_map>
#include <vector>

namespace zemlar {

/// What to take from the phone's inbox.
struct InboxMergePlan {
    /// Accounts to add, in inbox order, with groups unknown here dropped.
    std::vector<BackupAccount> toAdd;
    /// Every distinct account identifier in the inbox.
    std::set<UUID> taken;
    /// Skipped because the identifier was taken before or exists locally.
    std::int64_t alreadyTaken = 0;
    /// Skipped because a local account has the same issuer, name, parameters and secret.
    std::int64_t duplicates = 0;

    bool operator==(const InboxMergePlan&) const = default;
};

namespace InboxMerge {

/// The first occurrence of a repeated identifier counts. A local account without a stored
/// secret never makes an inbox account a duplicate.
InboxMergePlan plan(const std::vector<BackupAccount>& incoming,
                    const std::vector<Account>& existing,
                    const std::unordered_map<UUID, Bytes>& existingSecrets, const Groups& groups,
                    const std::set<UUID>& taken);

} // namespace InboxMerge
} // namespace zemlar
