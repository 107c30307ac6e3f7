// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/ChosenBackupFolder.hpp"

#include "ZemlarKit/DirectoryBackupFileStore.hpp"

#include <OTPCore/BackupRotation.hpp>
#include <QSettings>
#include <QString>

namespace zemlar {

namespace {

namespace fs = std::filesystem;

DirectoryBackupFileStore inUse(std::int64_t keep) {
    return DirectoryBackupFileStore(DirectoryBackupFileStore::configuredDirectory(), keep);
}

bool holdsBackup(const fs::path& folder) {
    std::error_code error;
    return fs::is_regular_file(fs::symlink_status(folder / BackupRotation::latestName, error));
}

} // namespace

Result<std::optional<Bytes>, BackupFileError> ChosenBackupFolder::readLatest() {
    return inUse(keep_).readLatest();
}

Result<void, BackupFileError> ChosenBackupFolder::write(const Bytes& data, Date now) {
    return inUse(keep_).write(data, now);
}

Result<std::optional<Bytes>, BackupFileError> ChosenBackupFolder::readInbox() {
    return inUse(keep_).readInbox();
}

std::optional<FileStamp> ChosenBackupFolder::inboxStamp() {
    return inUse(keep_).inboxStamp();
}

std::vector<std::string> ChosenBackupFolder::archiveNames() {
    return inUse(keep_).archiveNames();
}

Result<std::optional<Bytes>, BackupFileError>
ChosenBackupFolder::readArchive(const std::string& name) {
    return inUse(keep_).readArchive(name);
}

std::optional<fs::path> ChosenBackupFolder::folder() const {
    return DirectoryBackupFileStore::configuredDirectory();
}

bool ChosenBackupFolder::offersCopy(const fs::path& from, const fs::path& to) {
    return holdsBackup(from) && !holdsBackup(to) && from != to;
}

Result<void, BackupFileError> ChosenBackupFolder::choose(const fs::path& from, const fs::path& to,
                                                         bool copyBackups) {
    if (copyBackups) {
        const DirectoryBackupFileStore previous(from, BackupRotation::defaultKeep);
        if (auto copied = previous.copyBackupsTo(to); !copied) {
            return copied;
        }
    }
    QSettings settings(QStringLiteral("Zemlar"), QStringLiteral("Zemlar"));
    settings.setValue(QLatin1String(DirectoryBackupFileStore::directoryKey),
                      QString::fromStdString(to.string()));
    return {};
}

} // namespace zemlar
