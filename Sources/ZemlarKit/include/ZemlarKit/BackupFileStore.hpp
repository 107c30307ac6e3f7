// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/BackupFileError.hpp"
#include "ZemlarKit/FileStamp.hpp"

#include <OTPCore/Date.hpp>
#include <OTPCore/Result.hpp>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zemlar {

/// The folder of the backup files, as the backup and inbox flows see it.
class BackupFileStore {
public:
    virtual ~BackupFileStore() = default;

    /// The bytes of the latest backup, or nothing when there is none.
    virtual Result<std::optional<Bytes>, BackupFileError> readLatest() = 0;
    /// Stores the data as the new latest backup; `now` names the archive of the one it replaces.
    virtual Result<void, BackupFileError> write(const Bytes& data, Date now) = 0;
    /// The bytes of the phone's inbox file, or nothing. A store without an inbox has none.
    virtual Result<std::optional<Bytes>, BackupFileError> readInbox() {
        return std::optional<Bytes>();
    }
    /// The size and modification time of the inbox file, known without reading it; nothing
    /// when there is no file or the store cannot tell.
    virtual std::optional<FileStamp> inboxStamp() { return std::nullopt; }
    /// The names of the earlier backups kept beside the latest one, newest first.
    virtual std::vector<std::string> archiveNames() { return {}; }
    /// The bytes of the earlier backup of that name, or nothing when there is none.
    virtual Result<std::optional<Bytes>, BackupFileError> readArchive(const std::string& name) {
        (void)name;
        return std::optional<Bytes>();
    }
    /// The folder the files are in; nothing for a store that keeps them elsewhere.
    virtual std::optional<std::filesystem::path> folder() const { return std::nullopt; }
};

} // namespace zemlar
