// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Date.hpp"

#include <cstdint>

/// The rule that keeps a code from being handed over in its last seconds.
namespace zemlar::FreshCode {

inline constexpr std::int64_t minimumRemaining = 4;

/// Seconds to wait before computing and handing over a code: 0 while at least
/// minimumRemaining seconds are left, otherwise the time until the next period starts.
double delay(Date at, std::int64_t period);

} // namespace zemlar::FreshCode
