// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/OTPParameters.hpp"

namespace zemlar {

std::optional<OTPParameters> OTPParameters::make(OTPAlgorithm algorithm, std::int64_t digits,
                                                 std::int64_t period) {
    if (!isAllowedDigits(digits) || period <= 0) {
        return std::nullopt;
    }
    return OTPParameters(algorithm, digits, period);
}

} // namespace zemlar
