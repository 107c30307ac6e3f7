// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/OTPAlgorithm.hpp"

#include <cstdint>
#include <optional>

namespace zemlar {

/// Algorithm, number of digits and period of an account's codes. Every value that exists has
/// 6 to 8 digits and a period above zero: the only ways to make one check it.
class OTPParameters {
public:
    static constexpr std::int64_t minimumDigits = 6;
    static constexpr std::int64_t maximumDigits = 8;

    /// The parameters, or nothing unless digits lie within 6 to 8 and period is above 0.
    static std::optional<OTPParameters> make(OTPAlgorithm algorithm, std::int64_t digits,
                                             std::int64_t period);

    /// SHA1, 6 digits, 30 seconds: used wherever a source names no parameters.
    static OTPParameters standard() { return {OTPAlgorithm::sha1, 6, 30}; }

    static constexpr bool isAllowedDigits(std::int64_t digits) {
        return digits >= minimumDigits && digits <= maximumDigits;
    }

    OTPAlgorithm algorithm() const { return algorithm_; }
    std::int64_t digits() const { return digits_; }
    std::int64_t period() const { return period_; }

    bool operator==(const OTPParameters&) const = default;

private:
    OTPParameters(OTPAlgorithm algorithm, std::int64_t digits, std::int64_t period)
        : algorithm_(algorithm), digits_(digits), period_(period) {}

    OTPAlgorithm algorithm_;
    std::int64_t digits_;
    std::int64_t period_;
};

} // namespace zemlar
