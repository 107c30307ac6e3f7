// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Date.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// Names in the backup folder: the latest backup, the phone's inbox, and dated archives of
/// replaced backups, of which only the newest are kept.
namespace zemlar::BackupRotation {

inline constexpr std::string_view latestName = "backup.zemlar";
inline constexpr std::string_view inboxName = "inbox.zemlar";
/// Backup versions kept, counting the latest.
inline constexpr std::int64_t defaultKeep = 5;

/// "backup-" + the date in ISO 8601 basic form in UTC (20250301T093000Z) + ".zemlar", so the
/// names sort in time order. A moment outside the years 0001 to 9999 is clamped into them; one
/// that is not a number counts as 1970-01-01T00:00:00Z.
std::string archiveName(Date date);

/// The moment of an archive name exactly as archiveName writes it; nothing for any other name
/// (backup-9999.zemlar, a month 13, lower-case letters, …).
std::optional<Date> archiveDate(std::string_view name);

/// The archives to delete so that `keep` versions remain with the latest: all but the keep − 1
/// greatest names (all of them when keep is 1 or less), newest first. Only names archiveName
/// writes for a moment up to `now` count; the folder is shared, so any other name, a dated one
/// from the future included, is someone else's file and is left alone.
std::vector<std::string> namesToDelete(const std::vector<std::string>& existing, std::int64_t keep,
                                       Date now);

} // namespace zemlar::BackupRotation
