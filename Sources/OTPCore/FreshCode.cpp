// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/FreshCode.hpp"

#include "OTPCore/TOTP.hpp"

#include <algorithm>

namespace zemlar {

double FreshCode::delay(Date at, std::int64_t period) {
    if (TOTP::secondsRemaining(at, period) >= minimumRemaining) {
        return 0;
    }
    const double nextPeriodStart =
        static_cast<double>(TOTP::counter(at, period) + 1) * static_cast<double>(period);
    return std::max(0.0, nextPeriodStart - at.secondsSince1970());
}

} // namespace zemlar
