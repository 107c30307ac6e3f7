// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/AccountGroup.hpp"
#include "OTPCore/BackupAccount.hpp"
#include "OTPCore/Date.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace zemlar {

/// The plaintext inside a backup file's sealed box.
struct BackupPayload {
    static constexpr std::int64_t currentVersion = 1;

    std::int64_t version = currentVersion;
    Date exportedAt;
    /// In the order of the source list.
    std::vector<BackupAccount> accounts;
    /// Absent when the writer gave no group list; readers treat that as no groups.
    std::optional<Groups> groups;

    /// The current version, with the groups present.
    static BackupPayload make(Date exportedAt, std::vector<BackupAccount> accounts, Groups groups) {
        return BackupPayload{.version = currentVersion,
                             .exportedAt = exportedAt,
                             .accounts = std::move(accounts),
                             .groups = std::move(groups)};
    }

    bool operator==(const BackupPayload&) const = default;
};

} // namespace zemlar
