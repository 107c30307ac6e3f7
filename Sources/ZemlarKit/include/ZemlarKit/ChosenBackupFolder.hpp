// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/BackupFileStore.hpp"

#include <cstdint>
#include <filesystem>

namespace zemlar {

/// The backup files in the folder in use: the one the user chose last, or the suggested one
/// (DirectoryBackupFileStore::configuredDirectory), looked up again for every operation, so a
/// new choice takes effect at once, the inbox included. Usable from any thread.
class ChosenBackupFolder final : public BackupFileStore {
public:
    explicit ChosenBackupFolder(std::int64_t keep) : keep_(keep) {}

    Result<std::optional<Bytes>, BackupFileError> readLatest() override;
    Result<void, BackupFileError> write(const Bytes& data, Date now) override;
    Result<std::optional<Bytes>, BackupFileError> readInbox() override;
    std::optional<FileStamp> inboxStamp() override;
    std::vector<std::string> archiveNames() override;
    Result<std::optional<Bytes>, BackupFileError> readArchive(const std::string& name) override;
    std::optional<std::filesystem::path> folder() const override;

    /// Whether moving from the folder `from` to `to` should offer to copy the backups: `from`
    /// holds a backup and `to` none.
    static bool offersCopy(const std::filesystem::path& from, const std::filesystem::path& to);
    /// Makes `to` the folder in use (the user default "backupDirectory"), first copying the
    /// latest backup and its archives from `from` when asked. A failed copy changes nothing
    /// else.
    static Result<void, BackupFileError> choose(const std::filesystem::path& from,
                                                const std::filesystem::path& to, bool copyBackups);

private:
    std::int64_t keep_;
};

} // namespace zemlar
