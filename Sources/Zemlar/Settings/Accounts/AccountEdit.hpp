// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/Account.hpp>
#include <OTPCore/UUID.hpp>
#include <optional>
#include <string>

namespace zemlar {

/// The editable part of an account, as the edit sheet holds it.
struct AccountEdit {
    std::string issuer;
    std::string name;
    /// The account's domains joined with ", ".
    std::string sites;
    std::optional<UUID> groupID;
    bool pressesReturn = false;

    /// The values of a stored account.
    static AccountEdit of(const Account& account);

    bool operator==(const AccountEdit&) const = default;
};

} // namespace zemlar
