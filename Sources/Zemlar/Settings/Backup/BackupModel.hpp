// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppEnvironment.hpp"
#include "BackgroundWork.hpp"

#include <OTPCore/BackupCheck.hpp>
#include <OTPCore/Date.hpp>
#include <QObject>
#include <QString>
#include <ZemlarKit/BackupFlowError.hpp>
#include <ZemlarKit/Debouncer.hpp>
#include <ZemlarKit/FileStamp.hpp>
#include <ZemlarKit/InboxImportError.hpp>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <qcoro/qcorotask.h>
#include <string>
#include <vector>

namespace zemlar {

/// Everything the user sees about backup and sync: whether a passphrase is set, the state of the
/// last operation, whether a restore is offered and what arrived from the phone. Runs the backup
/// and inbox flows off the main thread, writes a backup automatically a short while after the
/// account list stops changing, and checks the phone's inbox when the shell asks. Lives on the
/// main thread; announces every change with `changed()`.
class BackupModel : public QObject {
    Q_OBJECT

public:
    /// The state of the last operation the user started.
    class Status {
    public:
        enum class Kind { success, failure, idle, working };

        static Status success(QString text) { return {Kind::success, std::move(text)}; }
        static Status failure(QString text) { return {Kind::failure, std::move(text)}; }
        static Status idle() { return {Kind::idle, {}}; }
        static Status working() { return {Kind::working, {}}; }

        Kind kind() const { return kind_; }
        /// The text of success and failure; empty otherwise.
        const QString& text() const { return text_; }

        bool operator==(const Status&) const = default;

    private:
        Status(Kind kind, QString text) : kind_(kind), text_(std::move(text)) {}

        Kind kind_;
        QString text_;
    };

    /// Where a restore reads its backup from.
    class RestoreSource {
    public:
        enum class Kind { file, iCloudDrive, archive };

        /// A file the user chose.
        static RestoreSource file(std::filesystem::path path) {
            return {Kind::file, std::move(path)};
        }
        /// The latest backup in the synced backup folder.
        static RestoreSource iCloudDrive() { return {Kind::iCloudDrive, {}}; }
        /// An earlier backup kept in the synced backup folder, by its name there.
        static RestoreSource archive(std::string name) {
            RestoreSource source{Kind::archive, {}};
            source.archiveName_ = std::move(name);
            return source;
        }

        Kind kind() const { return kind_; }
        /// For file.
        const std::filesystem::path& path() const { return path_; }
        /// For archive.
        const std::string& archiveName() const { return archiveName_; }

        bool operator==(const RestoreSource&) const = default;

    private:
        RestoreSource(Kind kind, std::filesystem::path path)
            : kind_(kind), path_(std::move(path)) {}

        Kind kind_;
        std::filesystem::path path_;
        std::string archiveName_;
    };

    /// An earlier backup kept in the folder.
    struct Archive {
        std::string name;
        Date date;
        /// Known once the list was opened and the backup opens with the stored key.
        std::optional<std::int64_t> accounts;

        bool operator==(const Archive&) const = default;
    };

    /// The last inbox import that added accounts.
    struct InboxImport {
        std::int64_t count = 0;
        Date date;

        bool operator==(const InboxImport&) const = default;
    };

    /// The user-defaults keys of the inbox state.
    static constexpr const char* inboxLastHashKey = "inboxLastHash";
    static constexpr const char* inboxLastImportDateKey = "inboxLastImportDate";
    static constexpr const char* inboxLastImportCountKey = "inboxLastImportCount";

    static constexpr std::chrono::milliseconds defaultBackupDelay{2000};

    explicit BackupModel(AppEnvironment environment, QObject* parent = nullptr);
    /// With another wait between the last change and the automatic backup.
    BackupModel(AppEnvironment environment, std::chrono::milliseconds backupDelay,
                QObject* parent = nullptr);

    bool isConfigured() const { return isConfigured_; }
    /// No accounts yet and a backup in the folder: the restore is offered in so many words.
    bool offersRestore() const { return offersRestore_; }
    /// The folder holds a backup to restore from.
    bool hasBackupInFolder() const { return hasBackupInFolder_; }
    /// The earlier backups in the folder, newest first.
    const std::vector<Archive>& archives() const { return archives_; }
    const Status& status() const { return status_; }
    const std::optional<InboxImport>& lastInboxImport() const { return lastInboxImport_; }
    const std::optional<QString>& inboxProblem() const { return inboxProblem_; }
    bool hasPhone() const { return hasPhone_; }
    const AppEnvironment& environment() const { return environment_; }
    bool isCheckingInbox() const { return checkingInbox_; }
    const Debouncer& debouncer() const { return debouncer_; }

    /// Called after accounts arrived from the phone; does nothing until the shell sets it.
    std::function<void()> onInboxImported = [] {};

    /// Recomputes whether a passphrase is set and whether a restore is offered.
    QCoro::Task<> refresh();

    /// Sets the passphrase (a new salt, so it replaces the stored key) and writes a backup.
    QCoro::Task<> setUp(QString passphrase);
    QCoro::Task<> backUpNow();
    /// Checks that the latest backup would bring back every account with the same codes.
    QCoro::Task<> verify();
    QCoro::Task<> restore(RestoreSource from, QString passphrase);
    /// Counts the accounts of the earlier backups not counted yet, as far as the stored key
    /// opens them.
    QCoro::Task<> countArchivedAccounts();

    /// The folder the backups go to and the phone's inbox comes from; nothing when the store
    /// keeps its files elsewhere.
    std::optional<std::filesystem::path> folder() const { return environment_.fileStore->folder(); }
    /// Whether choosing `to` should offer to copy the backups there: the folder in use holds a
    /// backup and `to` none.
    bool offersCopyTo(const std::filesystem::path& to) const;
    /// Makes `to` the backup folder, first copying the backups there when `copyBackups`.
    QCoro::Task<> chooseFolder(std::filesystem::path to, bool copyBackups);
    /// The folder as the user reads it: the home folder shortened to "~".
    static QString displayFolder(const std::filesystem::path& folder);

    /// The account list changed: writes a backup once the changes stop for the delay.
    void accountsDidChange();

    /// Takes in the phone's inbox unless it is unchanged since the last import. Returns at once
    /// while another check runs.
    QCoro::Task<> checkInbox();

    static QString message(const BackupFlowError& error);
    static QString message(const InboxImportError& error);
    /// A complete check is a success, an incomplete one a failure.
    static Status status(const BackupCheckReport& report);

signals:
    void changed();
    /// An automatic backup ran (written, skipped or failed).
    void automaticBackupFinished();

private:
    /// The frame of the user's operations: working, the flow off the main thread, then its
    /// success text or its failure, and a refresh when asked.
    template <typename Work, typename Success>
    QCoro::Task<> perform(Work work, Success success, const char* logPrefix, bool refreshAfter);
    void setStatus(Status status);
    void reportFailure(const BackupFlowError& error, const char* logPrefix);
    void scheduleAutomaticBackup();
    /// Never two at once: a change during an export asks for one more after it.
    QCoro::Task<> runAutomaticBackup();
    static void logAutomaticBackup(const Guarded<Result<std::int64_t, BackupFlowError>>& exported);

    bool isConfigured_ = false;
    bool offersRestore_ = false;
    bool hasBackupInFolder_ = false;
    std::vector<Archive> archives_;
    Status status_ = Status::idle();
    std::optional<InboxImport> lastInboxImport_;
    std::optional<QString> inboxProblem_;
    bool hasPhone_ = false;
    AppEnvironment environment_;
    bool checkingInbox_ = false;
    /// The inbox file as it was when it last failed by its own fault: not read again until it
    /// changes, while its problem stays shown.
    std::optional<FileStamp> failedInboxStamp_;
    bool exportingAutomatically_ = false;
    bool exportAgain_ = false;
    Debouncer debouncer_;
};

} // namespace zemlar
