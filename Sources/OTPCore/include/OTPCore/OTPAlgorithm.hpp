// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace zemlar {

/// The HMAC hash of an account.
enum class OTPAlgorithm { sha1, sha256, sha512 };

namespace OTPAlgorithms {

/// Every algorithm, in the order forms list them.
inline constexpr std::array<OTPAlgorithm, 3> allCases = {OTPAlgorithm::sha1, OTPAlgorithm::sha256,
                                                         OTPAlgorithm::sha512};

/// "SHA1", "SHA256" or "SHA512": the only external form.
std::string_view rawValue(OTPAlgorithm algorithm);

/// The algorithm of an exact raw value; nothing for any other text ("sha1" included).
std::optional<OTPAlgorithm> fromRawValue(std::string_view text);

} // namespace OTPAlgorithms
} // namespace zemlar
