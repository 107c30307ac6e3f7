// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace zemlar {

/// An absolute moment: seconds since 1970-01-01T00:00:00Z, with fractions.
class Date {
public:
    constexpr Date() = default;
    constexpr explicit Date(double secondsSince1970) : seconds_(secondsSince1970) {}

    constexpr double secondsSince1970() const { return seconds_; }

    /// Internet date-time in UTC with whole seconds and a "Z", e.g. 2025-03-01T09:30:00Z.
    /// The fraction of a second is dropped. Nothing for a moment outside the years 0001 to 9999
    /// or one that is not a number.
    std::optional<std::string> iso8601() const;

    /// Reads exactly the form iso8601() writes; fractional seconds, numeric offsets and every
    /// other variation are refused.
    static std::optional<Date> parseISO8601(std::string_view text);

    constexpr auto operator<=>(const Date&) const = default;

private:
    double seconds_ = 0;
};

} // namespace zemlar
