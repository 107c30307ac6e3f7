// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Result.hpp"

#include <optional>
#include <span>
#include <string>
#include <string_view>

/// Standard Base64 (RFC 4648 section 4): "+" and "/", "=" padding, no line breaks.
namespace zemlar::Base64 {

std::string encode(std::span<const std::uint8_t> bytes);
/// The same text as encode(), appended to `output`.
void appendEncoded(std::span<const std::uint8_t> bytes, Bytes& output);

/// Only the canonical form encode() writes: a length that is a multiple of 4, padding only at
/// the end, zero bits after the last byte. Nothing for any other text (white space included).
std::optional<Bytes> decode(std::string_view text);

} // namespace zemlar::Base64
