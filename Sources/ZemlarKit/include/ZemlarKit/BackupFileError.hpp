// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace zemlar {

/// Why the backup folder or one of its files could not be reached.
class BackupFileError {
public:
    enum class Kind { locationUnavailable, readFailed, writeFailed, tooLarge };

    /// The synced folder's parent does not exist (syncing is off or not set up).
    static BackupFileError locationUnavailable() {
        return BackupFileError(Kind::locationUnavailable);
    }
    /// A file exists but could not be read, or is not a regular file (a link included).
    static BackupFileError readFailed() { return BackupFileError(Kind::readFailed); }
    /// The folder could not be created, the previous version not archived, or the file not
    /// written.
    static BackupFileError writeFailed() { return BackupFileError(Kind::writeFailed); }
    /// A file is larger than any backup this program writes or reads.
    static BackupFileError tooLarge() { return BackupFileError(Kind::tooLarge); }

    Kind kind() const { return kind_; }
    std::string describe() const;

    bool operator==(const BackupFileError&) const = default;

private:
    explicit BackupFileError(Kind kind) : kind_(kind) {}

    Kind kind_;
};

} // namespace zemlar

template <> struct std::hash<zemlar::BackupFileError> {
    std::size_t operator()(const zemlar::BackupFileError& error) const noexcept {
        return static_cast<std::size_t>(error.kind());
    }
};
