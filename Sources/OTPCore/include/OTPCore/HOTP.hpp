// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/OTPParameters.hpp"
#include "OTPCore/Result.hpp"

#include <cstdint>
#include <span>
#include <string>

/// RFC 4226 one-time codes.
namespace zemlar::HOTP {

/// The shortest MAC dynamic truncation can read (SHA-1's).
inline constexpr std::size_t minimumMACLength = 20;

/// The code for one counter value: exactly parameters.digits() decimal digits, zeros kept.
/// Empty when the platform's HMAC fails.
std::string code(std::span<const std::uint8_t> secret, std::uint64_t counter,
                 const OTPParameters& parameters);

/// The full HMAC of the message under the algorithm, keyed with the secret as it is.
Bytes hmac(OTPAlgorithm algorithm, std::span<const std::uint8_t> key,
           std::span<const std::uint8_t> message);

/// RFC 4226 dynamic truncation: 31 bits at the offset named by the last byte's low nibble.
/// 0 for a MAC shorter than minimumMACLength.
std::uint32_t dynamicTruncation(std::span<const std::uint8_t> mac);

} // namespace zemlar::HOTP
