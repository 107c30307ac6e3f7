// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <filesystem>
#include <string_view>
#include <vector>

/// The folders that sync clients keep in the home folder, where a backup reaches the user's
/// other devices without any setting.
namespace zemlar::SyncClientFolders {

/// In order of preference: Nextcloud, ownCloud, Syncthing, Dropbox, pCloud, MEGA, Seafile,
/// OneDrive.
inline constexpr std::array<std::string_view, 8> names = {
    "Nextcloud", "ownCloud", "Sync", "Dropbox", "pCloudDrive", "MEGA", "Seafile", "OneDrive"};

/// The sync client folders that exist in `home`, in order of preference.
std::vector<std::filesystem::path> existing(const std::filesystem::path& home);

/// "Zemlar" inside the first existing sync client folder, otherwise inside `documents`.
std::filesystem::path backupDirectory(const std::filesystem::path& home,
                                      const std::filesystem::path& documents);

} // namespace zemlar::SyncClientFolders
