// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/DirectoryBackupFileStore.hpp"

#include "ZemlarKit/ListFile.hpp"

#include <OTPCore/BackupRotation.hpp>
#include <QSettings>
#include <QString>
#include <cstdlib>
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

Result<std::optional<Bytes>, BackupFileError> readIfPresent(const fs::path& file) {
    auto bytes = ListFile::read(file);
    if (!bytes) {
        return fail(BackupFileError::readFailed());
    }
    return std::move(*bytes);
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

fs::path DirectoryBackupFileStore::iCloudDriveDirectory() {
    return homeDirectory() / "Library/Mobile Documents/com~apple~CloudDocs/Zemlar";
}

fs::path DirectoryBackupFileStore::configuredDirectory() {
    const QSettings settings(QStringLiteral("Zemlar"), QStringLiteral("Zemlar"));
    const QString configured = settings.value(QStringLiteral("backupDirectory")).toString();
    if (configured.isEmpty()) {
        return iCloudDriveDirectory();
    }
    return fs::path(configured.toStdString());
}

Result<std::optional<Bytes>, BackupFileError> DirectoryBackupFileStore::readLatest() {
    return readIfPresent(directory / BackupRotation::latestName);
}

Result<std::optional<Bytes>, BackupFileError> DirectoryBackupFileStore::readInbox() {
    return readIfPresent(directory / BackupRotation::inboxName);
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
    const fs::path latest = folder / BackupRotation::latestName;
    if (fs::exists(latest, error)) {
        const fs::path archive = folder / BackupRotation::archiveName(now);
        fs::remove(archive, error);
        if (!fs::copy_file(latest, archive, fs::copy_options::overwrite_existing, error) || error) {
            return fail(BackupFileError::writeFailed());
        }
    }
    if (!ListFile::write(latest, data)) {
        return fail(BackupFileError::writeFailed());
    }
    for (const auto& name : BackupRotation::namesToDelete(namesIn(folder), keep)) {
        fs::remove(folder / name, error);
    }
    return {};
}

} // namespace zemlar
