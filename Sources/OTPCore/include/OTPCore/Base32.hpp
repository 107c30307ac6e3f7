// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Result.hpp"

#include <optional>
#include <span>
#include <string>
#include <string_view>

/// RFC 4648 Base32, the text form of secrets, without padding on output.
namespace zemlar::Base32 {

inline constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";

/// Bytes of the text, ignoring letter case and any spaces, hyphens, "=", tabs and line breaks;
/// nothing when a character is outside the alphabet or no whole byte remains. Trailing bits
/// short of a byte are dropped unchecked.
std::optional<Bytes> decode(std::string_view text);

/// Upper-case text of the bytes, never padded: 1 byte gives 2 letters, 5 bytes give 8.
std::string encode(std::span<const std::uint8_t> bytes);

} // namespace zemlar::Base32
