// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/AccountList.hpp>
#include <cstdint>

namespace zemlar {

/// What a restore did.
struct RestoreReport {
    /// The complete local account list after the restore.
    Accounts accounts;
    /// Accounts added.
    std::int64_t imported = 0;
    /// Backup accounts skipped because their identifier exists locally.
    std::int64_t alreadyPresent = 0;
    /// Backup accounts not added because their secret could not be stored.
    std::int64_t failed = 0;

    bool operator==(const RestoreReport&) const = default;
};

} // namespace zemlar
