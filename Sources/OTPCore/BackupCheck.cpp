// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/BackupCheck.hpp"

#include <unordered_set>

namespace zemlar::BackupCheck {

BackupCheckReport compare(const BackupPayload& payload, const std::vector<Account>& accounts,
                          const std::unordered_map<UUID, Bytes>& secrets) {
    std::unordered_map<UUID, const BackupAccount*> backupByID;
    for (const BackupAccount& account : payload.accounts) {
        backupByID.try_emplace(account.id, &account);
    }
    BackupCheckReport report;
    report.exportedAt = payload.exportedAt;
    report.accountsInBackup = static_cast<std::int64_t>(backupByID.size());
    std::unordered_set<UUID> localIDs;
    for (const Account& account : accounts) {
        localIDs.insert(account.id);
        const auto found = backupByID.find(account.id);
        if (found == backupByID.end()) {
            report.missing.push_back(AccountTitle::make(account));
            continue;
        }
        const BackupAccount& copy = *found->second;
        const auto secret = secrets.find(account.id);
        if (copy.parameters != account.parameters || secret == secrets.end() ||
            secret->second != copy.secret) {
            report.mismatched.push_back(AccountTitle::make(account));
        }
    }
    for (const auto& [id, account] : backupByID) {
        if (!localIDs.contains(id)) {
            ++report.extra;
        }
    }
    return report;
}

} // namespace zemlar::BackupCheck
