// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/BackupFileStore.hpp"

#include <cstdint>
#include <filesystem>

namespace zemlar {

/// The backup files in one folder: "backup.zemlar", its dated archives and the phone's
/// "inbox.zemlar". Keeps nothing in memory; usable from any thread.
struct DirectoryBackupFileStore : BackupFileStore {
    std::filesystem::path directory;
    /// Versions kept, counting the latest.
    std::int64_t keep = 5;

    DirectoryBackupFileStore(std::filesystem::path directory, std::int64_t keep)
        : directory(std::move(directory)), keep(keep) {}

    /// ~/Library/Mobile Documents/com~apple~CloudDocs/Zemlar: the synced folder (a user mounts
    /// or links a synced folder there).
    static std::filesystem::path iCloudDriveDirectory();
    /// The user default "backupDirectory" when it is set to a non-empty path, otherwise
    /// iCloudDriveDirectory().
    static std::filesystem::path configuredDirectory();

    /// Nothing when there is no "backup.zemlar"; readFailed when it cannot be read.
    Result<std::optional<Bytes>, BackupFileError> readLatest() override;
    /// locationUnavailable when the folder's parent is missing; otherwise creates the folder,
    /// copies the previous latest file to its archive name (a failed copy writes nothing),
    /// replaces the latest file atomically and deletes the archives beyond `keep`.
    Result<void, BackupFileError> write(const Bytes& data, Date now) override;
    /// Nothing when there is no "inbox.zemlar"; readFailed when it cannot be read.
    Result<std::optional<Bytes>, BackupFileError> readInbox() override;

    bool operator==(const DirectoryBackupFileStore& other) const {
        return directory == other.directory && keep == other.keep;
    }
};

} // namespace zemlar
