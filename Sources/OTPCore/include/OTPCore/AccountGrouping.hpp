// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/AccountGroup.hpp"
#include "OTPCore/AccountList.hpp"

#include <optional>
#include <string>

namespace zemlar {

/// One display section: a group's accounts, or (no group) the accounts in none.
struct AccountSection {
    std::optional<AccountGroup> group;
    Accounts accounts;

    bool operator==(const AccountSection&) const = default;
};

namespace AccountGrouping {

/// A section per group in name order (empty ones too), then, when there are any, one section
/// without a group for the accounts in no group or in a group that is gone. Accounts are
/// ordered by title within each section.
std::vector<AccountSection> sections(const Accounts& accounts, const Groups& groups);

/// The name of the account's group; nothing without a group or when the group is gone.
std::optional<std::string> groupName(const Account& account, const Groups& groups);

} // namespace AccountGrouping
} // namespace zemlar
