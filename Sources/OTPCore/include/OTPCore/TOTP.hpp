// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Date.hpp"
#include "OTPCore/OTPParameters.hpp"

#include <cstdint>
#include <span>
#include <string>

/// RFC 6238 time-based codes. Moments before 1970 count as 1970; periods must be above zero.
namespace zemlar::TOTP {

/// The whole number of periods since 1970 at the moment.
std::uint64_t counter(Date at, std::int64_t period);

/// Seconds left in the running period, counting the running second whole: 1 to period.
std::int64_t secondsRemaining(Date at, std::int64_t period);

/// HOTP code of the moment's counter.
std::string code(std::span<const std::uint8_t> secret, Date at, const OTPParameters& parameters);

} // namespace zemlar::TOTP
