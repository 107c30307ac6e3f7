// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/ManualEntryError.hpp"
#include "OTPCore/OTPAlgorithm.hpp"
#include "OTPCore/OTPAuthEntry.hpp"
#include "OTPCore/Result.hpp"

#include <cstdint>
#include <string_view>

/// The manual-entry form.
namespace zemlar::ManualEntry {

/// The entry of the form with issuer and name trimmed and the key decoded as Base32 (case,
/// spaces, hyphens and "=" ignored), or the first failing check.
Result<OTPAuthEntry, ManualEntryError> make(std::string_view issuer, std::string_view name,
                                            std::string_view secret, OTPAlgorithm algorithm,
                                            std::int64_t digits, std::int64_t period);

} // namespace zemlar::ManualEntry
