// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/DirectoryBackupFileStore.hpp"

#include "ZemlarKit/ListFile.hpp"
#include "ZemlarKit/SyncClientFolders.hpp"
#include "ZemlarKit/SyncFolderFile.hpp"

#include <OTPCore/BackupRotation.hpp>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>
#include <system_error>
#include <vector>

namespace zemlar {

std::string BackupFileError::describe() const {
    switch (kind_) {
    case Kind::locationUnavailable:
        return "locationUnavailable";
    case Kind::readFailed:
        return "readFailed";
    case Kind::writeFailed:
        return "writeFailed";
    case Kind::tooLarge:
        return "tooLarge";
    }
    return "writeFailed";
}

namespace {

namespace fs = std::filesystem;

fs::path homeDirectory() {
    const char* home = std::getenv("HOME");
    return home != nullptr && *home != '\0' ? fs::path(home) : fs::path("/");
}

/// The folder without a trailing separator, so that its parent is the folder above it.
fs::path withoutTrailingSeparator(const fs::path& directory) {
    fs::path normal = directory.lexically_normal();
    if (!normal.has_filename() && normal.has_parent_path() && normal != normal.root_path()) {
        normal = normal.parent_path();
    }
    return normal;
}

bool isRegularFile(const fs::path& file) {
    struct stat status {};
    return ::lstat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

/// Keeps the previous latest file under the archive name for `now`, written from its bytes.
/// Whatever stands there without being a regular file within the size limit (a link planted in
/// the shared folder, say) is no backup of ours: it is not archived, and the new latest file
/// takes its name. A backup of ours that cannot be read or archived fails the write.
Result<void, BackupFileError> archivePrevious(const fs::path& folder, Date now) {
    const fs::path latest = folder / BackupRotation::latestName;
    const auto previous = SyncFolderFile::read(latest);
    if (!previous) {
        const bool ours = previous.error() != BackupFileError::tooLarge() && isRegularFile(latest);
        if (!ours) {
            return {};
        }
        return fail(BackupFileError::writeFailed());
    }
    if (!previous->has_value()) {
        return {};
    }
    const fs::path archive = folder / BackupRotation::archiveName(now);
    std::error_code ignored;
    fs::remove(archive, ignored);
    if (!ListFile::write(archive, **previous)) {
        return fail(BackupFileError::writeFailed());
    }
    return {};
}

std::vector<std::string> namesIn(const fs::path& directory) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(directory, error), end; !error && entry != end;
         entry.increment(error)) {
        names.push_back(entry->path().filename().string());
    }
    return names;
}

} // namespace

fs::path DirectoryBackupFileStore::earlierDirectory() {
    return homeDirectory() / "Library/Mobile Documents/com~apple~CloudDocs/Zemlar";
}

fs::path DirectoryBackupFileStore::configuredDirectory() {
    const QSettings settings(QStringLiteral("Zemlar"), QStringLiteral("Zemlar"));
    const QString configured = settings.value(QLatin1String(directoryKey)).toString();
    if (!configured.isEmpty()) {
        return fs::path(configured.toStdString());
    }
    std::error_code error;
    if (fs::is_directory(earlierDirectory().parent_path(), error)) {
        return earlierDirectory();
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return SyncClientFolders::backupDirectory(homeDirectory(), fs::path(documents.toStdString()));
}

Result<std::optional<Bytes>, BackupFileError> DirectoryBackupFileStore::readLatest() {
    return SyncFolderFile::read(directory / BackupRotation::latestName);
}

Result<std::optional<Bytes>, BackupFileError> DirectoryBackupFileStore::readInbox() {
    return SyncFolderFile::read(directory / BackupRotation::inboxName);
}

std::optional<FileStamp> DirectoryBackupFileStore::inboxStamp() {
    return SyncFolderFile::stamp(directory / BackupRotation::inboxName);
}

Result<void, BackupFileError> DirectoryBackupFileStore::write(const Bytes& data, Date now) {
    const fs::path folder = withoutTrailingSeparator(directory);
    std::error_code error;
    if (!fs::is_directory(folder.parent_path(), error)) {
        return fail(BackupFileError::locationUnavailable());
    }
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder)) {
        return fail(BackupFileError::writeFailed());
    }
    if (auto archived = archivePrevious(folder, now); !archived) {
        return archived;
    }
    if (!ListFile::write(folder / BackupRotation::latestName, data)) {
        return fail(BackupFileError::writeFailed());
    }
    for (const auto& name : BackupRotation::namesToDelete(namesIn(folder), keep, now)) {
        fs::remove(folder / name, error);
    }
    return {};
}

std::vector<std::string> DirectoryBackupFileStore::archiveNames() {
    std::vector<std::string> archives;
    for (std::string& name : namesIn(directory)) {
        if (BackupRotation::archiveDate(name)) {
            archives.push_back(std::move(name));
        }
    }
    std::sort(archives.rbegin(), archives.rend()); // the names sort in time order
    return archives;
}

Result<std::optional<Bytes>, BackupFileError>
DirectoryBackupFileStore::readArchive(const std::string& name) {
    if (!BackupRotation::archiveDate(name)) {
        return std::optional<Bytes>();
    }
    return SyncFolderFile::read(directory / name);
}

Result<void, BackupFileError>
DirectoryBackupFileStore::copyBackupsTo(const std::filesystem::path& to) const {
    std::error_code error;
    fs::create_directories(to, error);
    if (error || !fs::is_directory(to)) {
        return fail(BackupFileError::writeFailed());
    }
    for (const std::string& name : namesIn(directory)) {
        if (name != BackupRotation::latestName && !BackupRotation::archiveDate(name)) {
            continue;
        }
        const auto bytes = SyncFolderFile::read(directory / name);
        if (bytes && bytes->has_value() && !ListFile::write(to / name, **bytes)) {
            return fail(BackupFileError::writeFailed());
        }
    }
    return {};
}

} // namespace zemlar
