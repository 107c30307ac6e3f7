// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/Date.hpp"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace zemlar {
namespace {

struct CivilDay {
    std::int64_t year;
    int month;
    int day;
};

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
std::int64_t daysFromCivil(CivilDay date) {
    const std::int64_t year = date.month <= 2 ? date.year - 1 : date.year;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t shiftedMonth = date.month > 2 ? date.month - 3 : date.month + 9;
    const std::int64_t dayOfYear = (153 * shiftedMonth + 2) / 5 + date.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDay civilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

bool isLeapYear(std::int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(std::int64_t year, int month) {
    static constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : lengths[month - 1];
}

// Reads `count` ASCII digits at `position`; nothing if any is not a digit.
std::optional<int> digitsAt(std::string_view text, std::size_t position, std::size_t count) {
    int value = 0;
    for (std::size_t index = position; index < position + count; ++index) {
        const char character = text[index];
        if (character < '0' || character > '9') {
            return std::nullopt;
        }
        value = value * 10 + (character - '0');
    }
    return value;
}

constexpr std::size_t dateTimeLength = 19; // yyyy-MM-ddTHH:mm:ss

bool hasDateTimeSeparators(std::string_view text) {
    return text[4] == '-' && text[7] == '-' && text[10] == 'T' && text[13] == ':' &&
           text[16] == ':';
}

} // namespace

std::optional<std::string> Date::iso8601() const {
    if (!std::isfinite(seconds_)) {
        return std::nullopt;
    }
    const double whole = std::floor(seconds_);
    constexpr double firstSecond = -62135596800.0;     // 0001-01-01T00:00:00Z
    constexpr double afterLastSecond = 253402300800.0; // 10000-01-01T00:00:00Z
    if (whole < firstSecond || whole >= afterLastSecond) {
        return std::nullopt;
    }
    const auto total = static_cast<std::int64_t>(whole);
    const std::int64_t days = total >= 0 ? total / 86400 : (total - 86399) / 86400;
    const std::int64_t secondOfDay = total - days * 86400;
    const CivilDay civil = civilFromDays(days);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02d-%02dT%02lld:%02lld:%02lldZ",
                  static_cast<long long>(civil.year), civil.month, civil.day,
                  static_cast<long long>(secondOfDay / 3600),
                  static_cast<long long>(secondOfDay / 60 % 60),
                  static_cast<long long>(secondOfDay % 60));
    return std::string(buffer);
}

std::optional<Date> Date::parseISO8601(std::string_view text) {
    if (text.size() != dateTimeLength + 1 || text.back() != 'Z' || !hasDateTimeSeparators(text)) {
        return std::nullopt;
    }
    const auto year = digitsAt(text, 0, 4);
    const auto month = digitsAt(text, 5, 2);
    const auto day = digitsAt(text, 8, 2);
    const auto hour = digitsAt(text, 11, 2);
    const auto minute = digitsAt(text, 14, 2);
    const auto second = digitsAt(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second) {
        return std::nullopt;
    }
    if (*year < 1 || *month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(*year, *month) ||
        *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    const std::int64_t days = daysFromCivil({*year, *month, *day});
    const std::int64_t seconds = days * 86400 + *hour * 3600 + *minute * 60 + *second;
    return Date(static_cast<double>(seconds));
}

} // namespace zemlar
