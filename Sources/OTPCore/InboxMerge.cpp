// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/InboxMerge.hpp"

#include <algorithm>
#include <unordered_set>

namespace zemlar::InboxMerge {
namespace {

bool isDuplicate(const BackupAccount& candidate, const std::vector<Account>& existing,
                 const std::unordered_map<UUID, Bytes>& existingSecrets) {
    return std::any_of(existing.begin(), existing.end(), [&](const Account& account) {
        if (account.issuer != candidate.issuer || account.name != candidate.name ||
            account.parameters != candidate.parameters) {
            return false;
        }
        const auto secret = existingSecrets.find(account.id);
        return secret != existingSecrets.end() && secret->second == candidate.secret;
    });
}

} // namespace

InboxMergePlan plan(const std::vector<BackupAccount>& incoming,
                    const std::vector<Account>& existing,
                    const std::unordered_map<UUID, Bytes>& existingSecrets, const Groups& groups,
                    const std::set<UUID>& taken) {
    std::unordered_set<UUID> localIDs;
    for (const Account& account : existing) {
        localIDs.insert(account.id);
    }
    std::unordered_set<UUID> groupIDs;
    for (const AccountGroup& group : groups) {
        groupIDs.insert(group.id);
    }
    InboxMergePlan result;
    for (const BackupAccount& account : incoming) {
        if (!result.taken.insert(account.id).second) {
            continue; // a repeated identifier: only its first occurrence counts
        }
        if (taken.contains(account.id) || localIDs.contains(account.id)) {
            ++result.alreadyTaken;
        } else if (isDuplicate(account, existing, existingSecrets)) {
            ++result.duplicates;
        } else {
            BackupAccount added = account;
            if (added.groupID && !groupIDs.contains(*added.groupID)) {
                added.groupID = std::nullopt;
            }
            result.toAdd.push_back(std::move(added));
        }
    }
    return result;
}

} // namespace zemlar::InboxMerge
