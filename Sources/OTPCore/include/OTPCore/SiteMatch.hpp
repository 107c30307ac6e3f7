// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace zemlar {

/// How well a host fits an account; a higher raw value is a better fit, and the cases compare
/// in that order.
enum class SiteMatch : int {
    /// The host says nothing about the account.
    none = 0,
    /// One label of the host equals the account's issuer reduced to letters and digits.
    issuer = 1,
    /// The host is one of the account's domains or a subdomain of one.
    domain = 2,
};

namespace SiteMatches {

constexpr int rawValue(SiteMatch match) {
    return static_cast<int>(match);
}

/// The case with that raw value; nothing outside 0 to 2.
constexpr std::optional<SiteMatch> fromRawValue(int value) {
    if (value < rawValue(SiteMatch::none) || value > rawValue(SiteMatch::domain)) {
        return std::nullopt;
    }
    return static_cast<SiteMatch>(value);
}

} // namespace SiteMatches
} // namespace zemlar
