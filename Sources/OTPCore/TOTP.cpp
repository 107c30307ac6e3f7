// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/TOTP.hpp"

#include "OTPCore/HOTP.hpp"

#include <algorithm>
#include <cmath>

namespace zemlar {
namespace {

// Whole seconds since 1970, clamped to the range a counter can express.
std::uint64_t wholeSeconds(Date at) {
    const double seconds = std::floor(at.secondsSince1970());
    if (!(seconds > 0)) {
        return 0;
    }
    constexpr double limit = 18446744073709549568.0; // largest double below 2^64
    return seconds >= limit ? static_cast<std::uint64_t>(limit)
                            : static_cast<std::uint64_t>(seconds);
}

} // namespace

std::uint64_t TOTP::counter(Date at, std::int64_t period) {
    return wholeSeconds(at) / static_cast<std::uint64_t>(period);
}

std::int64_t TOTP::secondsRemaining(Date at, std::int64_t period) {
    const auto unsignedPeriod = static_cast<std::uint64_t>(period);
    return period - static_cast<std::int64_t>(wholeSeconds(at) % unsignedPeriod);
}

std::string TOTP::code(std::span<const std::uint8_t> secret, Date at,
                       const OTPParameters& parameters) {
    return HOTP::code(secret, counter(at, parameters.period()), parameters);
}

} // namespace zemlar
