// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Date.hpp"
#include "OTPCore/OTPParameters.hpp"
#include "OTPCore/UUID.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zemlar {

/// One two-factor account: everything but its secret, which the secret store keeps under the
/// account's identifier.
struct Account {
    UUID id;
    std::string issuer;
    std::string name;
    OTPParameters parameters;
    Date createdAt;
    std::optional<Date> lastUsedAt;
    std::int64_t useCount = 0;
    std::vector<std::string> domains;
    std::optional<UUID> groupID;
    bool pressesReturn = false;

    bool operator==(const Account&) const = default;
};

namespace AccountTitle {

/// The one display title of an account: the non-empty ones of issuer and name, joined by " · ".
std::string make(std::string_view issuer, std::string_view name);

inline std::string make(const Account& account) {
    return make(account.issuer, account.name);
}

} // namespace AccountTitle
} // namespace zemlar
