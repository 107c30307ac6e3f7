// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/SyncClientFolders.hpp"

namespace zemlar::SyncClientFolders {

namespace fs = std::filesystem;

std::vector<fs::path> existing(const fs::path& home) {
    std::vector<fs::path> folders;
    for (const std::string_view name : names) {
        std::error_code error;
        const fs::path folder = home / name;
        if (fs::is_directory(folder, error)) {
            folders.push_back(folder);
        }
    }
    return folders;
}

fs::path backupDirectory(const fs::path& home, const fs::path& documents) {
    const std::vector<fs::path> folders = existing(home);
    return (folders.empty() ? documents : folders.front()) / "Zemlar";
}

} // namespace zemlar::SyncClientFolders
