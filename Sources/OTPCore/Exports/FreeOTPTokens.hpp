// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExportReading.hpp"

/// The token records FreeOTP and FreeOTP+ share.
namespace zemlar::FreeOTPTokens {

/// The bytes of a JSON list of numbers from -128 to 255 (Java's signed bytes); nothing for
/// anything else.
std::optional<Bytes> signedBytes(const ExportReading::JSON* list);

/// The account of a token record with its raw key.
ExportedAccount account(const ExportReading::JSON& token, std::span<const std::uint8_t> secret);

} // namespace zemlar::FreeOTPTokens
