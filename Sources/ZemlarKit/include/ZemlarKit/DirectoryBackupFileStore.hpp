// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/BackupFileStore.hpp"

#include <cstdint>
#include <filesystem>

namespace zemlar {

/// The backup files in one folder: "backup.zemlar", its dated archives and the phone's
/// "inbox.zemlar". The folder is shared with other devices, so its files are read as
/// SyncFolderFile reads them. Keeps nothing in memory; usable from any thread.
struct DirectoryBackupFileStore : BackupFileStore {
    std::filesystem::path directory;
    /// Versions kept, counting the latest.
    std::int64_t keep = 5;

    DirectoryBackupFileStore(std::filesystem::path directory, std::int64_t keep)
        : directory(std::move(directory)), keep(keep) {}

    /// The user default that holds the folder the user chose.
    static constexpr const char* directoryKey = "backupDirectory";

    /// ~/Library/Mobile Documents/com~apple~CloudDocs/Zemlar: where earlier versions kept the
    /// backup, for users who linked a synced folder there.
    static std::filesystem::path earlierDirectory();
    /// The user default "backupDirectory" when it is set to a non-empty path; otherwise
    /// earlierDirectory() when its parent exists; otherwise the folder that SyncClientFolders
    /// suggests in the home and documents folders.
    static std::filesystem::path configuredDirectory();

    /// Nothing when there is no "backup.zemlar"; readFailed when it cannot be read or is a
    /// link, tooLarge above the size limit.
    Result<std::optional<Bytes>, BackupFileError> readLatest() override;
    /// locationUnavailable when the folder's parent is missing; otherwise creates the folder,
    /// writes the bytes of the previous latest file under its archive name, 0600 (a failure
    /// writes nothing), replaces the latest file atomically and deletes the archives beyond
    /// `keep`. Only names that archiveName writes count as archives.
    Result<void, BackupFileError> write(const Bytes& data, Date now) override;
    /// As readLatest, for "inbox.zemlar".
    Result<std::optional<Bytes>, BackupFileError> readInbox() override;
    std::optional<FileStamp> inboxStamp() override;
    std::optional<std::filesystem::path> folder() const override { return directory; }
    /// Only names that archiveName writes count.
    std::vector<std::string> archiveNames() override;
    /// Only a name that archiveName writes is read, as readLatest reads.
    Result<std::optional<Bytes>, BackupFileError> readArchive(const std::string& name) override;
    /// Copies the latest backup and its archives into the folder `to`, creating it; files that
    /// are no backups of ours (links, oversized files) are left behind.
    Result<void, BackupFileError> copyBackupsTo(const std::filesystem::path& to) const;

    bool operator==(const DirectoryBackupFileStore& other) const {
        return directory == other.directory && keep == other.keep;
    }
};

} // namespace zemlar
