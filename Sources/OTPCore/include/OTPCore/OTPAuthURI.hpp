// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/OTPAuthEntry.hpp"
#include "OTPCore/OTPAuthURIError.hpp"
#include "OTPCore/OTPParameters.hpp"
#include "OTPCore/Result.hpp"

#include <optional>
#include <span>
#include <string>
#include <string_view>

/// The otpauth://totp/ link of one account, read and written.
namespace zemlar::OTPAuthURI {

/// The issuer and name of a label "issuer:name".
struct Label {
    std::optional<std::string> issuer;
    std::string name;

    bool operator==(const Label&) const = default;
};

/// The account of one link, or why it was refused. Counter-based links give
/// unsupportedType("hotp").
Result<OTPAuthEntry, OTPAuthURIError> parse(std::string_view text);

/// The link of an account: label "issuer:name", then secret, issuer (when there is one),
/// algorithm, digits and period items, always in that order.
std::string make(std::string_view issuer, std::string_view name,
                 std::span<const std::uint8_t> secret, OTPParameters parameters);

/// Splits a label (a path with or without its leading "/") at its first colon into a trimmed
/// issuer, absent when empty, and a trimmed name; without a colon, all of it is the name.
Label parseLabel(std::string_view label);

} // namespace zemlar::OTPAuthURI
