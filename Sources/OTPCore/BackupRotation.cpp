// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/BackupRotation.hpp"

#include <algorithm>
#include <cmath>
#include <functional>

namespace zemlar::BackupRotation {
namespace {

constexpr std::string_view archivePrefix = "backup-";
constexpr std::string_view archiveSuffix = ".zemlar";

constexpr double firstSecond = -62135596800.0; // 0001-01-01T00:00:00Z
constexpr double lastSecond = 253402300799.0;  // 9999-12-31T23:59:59Z

/// The moment an archive name spells, in the extended form Date reads: 20250301T093000Z gives
/// 2025-03-01T09:30:00Z.
std::optional<Date> stampDate(std::string_view stamp) {
    constexpr std::size_t basicLength = 16;
    if (stamp.size() != basicLength) {
        return std::nullopt;
    }
    std::string extended;
    extended.append(stamp.substr(0, 4)).append("-").append(stamp.substr(4, 2)).append("-");
    extended.append(stamp.substr(6, 3)).append(stamp.substr(9, 2)).append(":");
    extended.append(stamp.substr(11, 2)).append(":").append(stamp.substr(13, 3));
    return Date::parseISO8601(extended);
}

} // namespace

std::optional<Date> archiveDate(std::string_view name) {
    if (!name.starts_with(archivePrefix) || !name.ends_with(archiveSuffix)) {
        return std::nullopt;
    }
    const auto date = stampDate(name.substr(
        archivePrefix.size(), name.size() - archivePrefix.size() - archiveSuffix.size()));
    if (!date || archiveName(*date) != name) {
        return std::nullopt;
    }
    return date;
}

std::string archiveName(Date date) {
    const double seconds = date.secondsSince1970();
    const Date clamped(std::isnan(seconds) ? 0.0 : std::clamp(seconds, firstSecond, lastSecond));
    std::string stamp = clamped.iso8601().value_or("1970-01-01T00:00:00Z");
    std::erase_if(stamp, [](char character) { return character == '-' || character == ':'; });
    return std::string(archivePrefix) + stamp + std::string(archiveSuffix);
}

std::vector<std::string> namesToDelete(const std::vector<std::string>& existing, std::int64_t keep,
                                       Date now) {
    std::vector<std::string> archives;
    std::copy_if(existing.begin(), existing.end(), std::back_inserter(archives),
                 [now](const std::string& name) {
                     const auto date = archiveDate(name);
                     return date && *date <= now;
                 });
    std::sort(archives.begin(), archives.end(), std::greater<>());
    const auto kept = static_cast<std::size_t>(
        std::clamp<std::int64_t>(keep - 1, 0, static_cast<std::int64_t>(archives.size())));
    archives.erase(archives.begin(), archives.begin() + static_cast<std::ptrdiff_t>(kept));
    return archives;
}

} // namespace zemlar::BackupRotation
