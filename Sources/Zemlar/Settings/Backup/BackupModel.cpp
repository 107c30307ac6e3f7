// SPDX-License-Identifier: GPL-3.0-or-later
#include "BackupModel.hpp"

#include "AppLog.hpp"
#include "BackgroundWork.hpp"
#include "DisplayDate.hpp"

#include <OTPCore/BackupCodec.hpp>
#include <OTPCore/BackupKDF.hpp>
#include <OTPCore/BackupRotation.hpp>
#include <OTPCore/Crypto.hpp>
#include <QDateTime>
#include <QDir>
#include <QPointer>
#include <QSettings>
#include <ZemlarKit/BackupFlows.hpp>
#include <ZemlarKit/ChosenBackupFolder.hpp>
#include <ZemlarKit/ChosenFile.hpp>
#include <ZemlarKit/InboxImportFlow.hpp>
#include <ZemlarKit/RandomBytes.hpp>
#include <ZemlarKit/SecretText.hpp>
#include <ZemlarKit/StoreGate.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <qcoro/qcorofuture.h>
#include <span>

namespace zemlar {
namespace {

constexpr std::string_view category = "backup";
constexpr const char* operationFailed = "Операция с копией не удалась: ";
constexpr const char* checkFailed = "Проверка копии не удалась: ";

using Exported = Result<std::int64_t, BackupFlowError>;
using Restored = Result<RestoreReport, BackupFlowError>;
using Checked = Result<BackupCheckReport, BackupFlowError>;

struct Availability {
    bool configured = false;
    bool backupInFolder = false;
    bool offersRestore = false;
    std::vector<BackupModel::Archive> archives;
};

QSettings userDefaults() {
    return QSettings(QStringLiteral("Zemlar"), QStringLiteral("Zemlar"));
}

Date currentTime() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return Date(std::chrono::duration<double>(since).count());
}

/// A passphrase as UTF-8, shared by the copies of the job that uses it and wiped with the
/// last of them.
using Passphrase = std::shared_ptr<const Crypto::WipedText>;

QString number(std::int64_t value) {
    return QString::number(static_cast<qlonglong>(value));
}

// The work of each operation, run off the main thread with a copy of the environment.

Availability availability(const AppEnvironment& environment) {
    const auto credentials = environment.keyStore->load();
    const auto accounts = environment.accountStore->load();
    const auto latest = environment.fileStore->readLatest();
    Availability result{.configured = credentials && credentials->has_value(),
                        .backupInFolder = latest && latest->has_value(),
                        .offersRestore = false,
                        .archives = {}};
    result.offersRestore = result.backupInFolder && accounts && accounts->empty();
    for (std::string& name : environment.fileStore->archiveNames()) {
        if (const auto date = BackupRotation::archiveDate(name)) {
            result.archives.push_back(
                {.name = std::move(name), .date = *date, .accounts = std::nullopt});
        }
    }
    return result;
}

using Counts = std::vector<std::optional<std::int64_t>>;

Counts countArchived(const AppEnvironment& environment, const std::vector<std::string>& names) {
    Counts counts;
    for (const std::string& name : names) {
        const auto data = environment.fileStore->readArchive(name);
        std::optional<std::int64_t> count;
        if (data && data->has_value()) {
            if (const auto counted = BackupFlows::countAccounts(**data, *environment.keyStore)) {
                count = *counted;
            }
        }
        counts.push_back(count);
    }
    return counts;
}

Exported exportNow(const AppEnvironment& environment) {
    // The clock is read under the gate, so the export written last is also the newest one.
    const StoreGate::Hold hold;
    const Bytes nonce = RandomBytes::generate(BackupCodec::nonceLength);
    return BackupFlows::exportBackup(currentTime(), nonce, *environment.accountStore,
                                     *environment.groupStore, *environment.secretStore,
                                     *environment.keyStore, *environment.fileStore,
                                     *environment.recoveryStore);
}

Exported setUpAndExport(const AppEnvironment& environment, const Passphrase& passphrase) {
    const Bytes salt = RandomBytes::generate(BackupKDF::saltLength);
    const auto credentials = BackupFlows::setUp(
        passphrase->value(), salt, BackupKDF::defaultIterations, *environment.keyStore);
    if (!credentials) {
        return fail(credentials.error());
    }
    return exportNow(environment);
}

Result<Bytes, BackupFlowError> read(const AppEnvironment& environment,
                                    const BackupModel::RestoreSource& source) {
    if (source.kind() == BackupModel::RestoreSource::Kind::file) {
        auto data = ChosenFile::read(source.path());
        if (!data) {
            return fail(BackupFlowError::file(data.error() == ChosenFile::ReadError::tooLarge
                                                  ? BackupFileError::tooLarge()
                                                  : BackupFileError::readFailed()));
        }
        return std::move(*data);
    }
    auto latest = source.kind() == BackupModel::RestoreSource::Kind::archive
                      ? environment.fileStore->readArchive(source.archiveName())
                      : environment.fileStore->readLatest();
    if (!latest) {
        return fail(BackupFlowError::file(latest.error()));
    }
    if (!latest->has_value()) {
        return fail(BackupFlowError::file(BackupFileError::locationUnavailable()));
    }
    return std::move(**latest);
}

Restored restoreFrom(const AppEnvironment& environment, BackupModel::RestoreSource source,
                     const Passphrase& passphrase) {
    const auto data = read(environment, source);
    if (!data) {
        return fail(data.error());
    }
    return BackupFlows::restore(*data, passphrase->value(), *environment.accountStore,
                                *environment.groupStore, *environment.secretStore,
                                *environment.keyStore, *environment.recoveryStore);
}

Checked check(const AppEnvironment& environment) {
    return BackupFlows::verify(*environment.accountStore, *environment.secretStore,
                               *environment.keyStore, *environment.fileStore);
}

InboxCheckOutcome lookAtInbox(const AppEnvironment& environment,
                              std::optional<std::string> lastHash,
                              std::optional<FileStamp> failedStamp) {
    return InboxImportFlow::importInbox(
        lastHash, *environment.fileStore, *environment.accountStore, *environment.groupStore,
        *environment.secretStore, *environment.keyStore, *environment.takenStore, failedStamp);
}

std::optional<BackupModel::InboxImport> storedInboxImport() {
    const QSettings settings = userDefaults();
    const QVariant date = settings.value(QLatin1String(BackupModel::inboxLastImportDateKey));
    const QDateTime moment = date.toDateTime();
    if (!date.isValid() || !moment.isValid()) {
        return std::nullopt;
    }
    return BackupModel::InboxImport{
        .count = settings.value(QLatin1String(BackupModel::inboxLastImportCountKey)).toLongLong(),
        .date = Date(static_cast<double>(moment.toMSecsSinceEpoch()) / 1000.0),
    };
}

QString joined(const std::vector<std::string>& titles) {
    QStringList list;
    for (const auto& title : titles) {
        list << QString::fromStdString(title);
    }
    return list.join(QStringLiteral(", "));
}

} // namespace

BackupModel::BackupModel(AppEnvironment environment, QObject* parent)
    : BackupModel(std::move(environment), defaultBackupDelay, parent) {}

BackupModel::BackupModel(AppEnvironment environment, std::chrono::milliseconds backupDelay,
                         QObject* parent)
    : QObject(parent), lastInboxImport_(storedInboxImport()),
      hasPhone_(userDefaults().value(QLatin1String(inboxLastHashKey)).typeId() ==
                QMetaType::QString),
      environment_(std::move(environment)), debouncer_(backupDelay) {}

QCoro::Task<> BackupModel::refresh() {
    QFuture<Guarded<Availability>> pending = inBackground(availability, environment_);
    const QPointer<BackupModel> alive(this);
    const Guarded<Availability> found = co_await pending;
    if (!alive) {
        co_return;
    }
    if (!found) {
        AppLog::error(category, operationFailed + found.error());
    }
    isConfigured_ = found && found->configured;
    offersRestore_ = found && found->offersRestore;
    hasBackupInFolder_ = found && found->backupInFolder;
    std::vector<Archive> archives = found ? found->archives : std::vector<Archive>();
    for (Archive& archive : archives) {
        const auto known =
            std::find_if(archives_.begin(), archives_.end(),
                         [&](const Archive& seen) { return seen.name == archive.name; });
        if (known != archives_.end()) {
            archive.accounts = known->accounts;
        }
    }
    archives_ = std::move(archives);
    emit changed();
}

QCoro::Task<> BackupModel::countArchivedAccounts() {
    std::vector<std::string> names;
    for (const Archive& archive : archives_) {
        if (!archive.accounts) {
            names.push_back(archive.name);
        }
    }
    if (names.empty()) {
        co_return;
    }
    QFuture<Guarded<Counts>> pending = inBackground(countArchived, environment_, names);
    const QPointer<BackupModel> alive(this);
    const Guarded<Counts> counted = co_await pending;
    if (!alive || !counted) {
        co_return;
    }
    for (std::size_t index = 0; index < names.size(); ++index) {
        for (Archive& archive : archives_) {
            if (archive.name == names[index]) {
                archive.accounts = (*counted)[index];
            }
        }
    }
    emit changed();
}

template <typename Work, typename Success>
QCoro::Task<> BackupModel::perform(Work work, Success success, const char* logPrefix,
                                   bool refreshAfter) {
    using Outcome = std::invoke_result_t<Work, const AppEnvironment&>;
    setStatus(Status::working());
    QFuture<Guarded<Outcome>> pending = inBackground(std::move(work), environment_);
    const QPointer<BackupModel> alive(this);
    const Guarded<Outcome> outcome = co_await pending;
    if (!alive) {
        co_return;
    }
    if (!outcome) {
        // No error of ours, so no text for the user: the log has it, the screen leaves working.
        AppLog::error(category, logPrefix + outcome.error());
        setStatus(Status::idle());
    } else if (*outcome) {
        setStatus(success(**outcome));
    } else {
        reportFailure(outcome->error(), logPrefix);
    }
    if (refreshAfter) {
        QCoro::Task<> refreshing = refresh();
        co_await refreshing;
    }
}

QCoro::Task<> BackupModel::setUp(QString passphrase) {
    auto work = [text = SecretText::sharedUTF8(passphrase)](const AppEnvironment& environment) {
        return setUpAndExport(environment, text);
    };
    SecretText::wipe(passphrase);
    auto running = perform(
        std::move(work),
        [](std::int64_t count) {
            return Status::success(Texts::format(
                QT_TRANSLATE_NOOP("Zemlar", "Passphrase set, backup created (accounts: %lld)"),
                {number(count)}));
        },
        operationFailed, true);
    co_await running;
}

QCoro::Task<> BackupModel::backUpNow() {
    auto running = perform(
        exportNow,
        [](std::int64_t count) {
            return Status::success(Texts::format(
                QT_TRANSLATE_NOOP("Zemlar", "Backup created (accounts: %lld)"), {number(count)}));
        },
        operationFailed, true);
    co_await running;
}

bool BackupModel::offersCopyTo(const std::filesystem::path& to) const {
    const auto from = folder();
    return from && ChosenBackupFolder::offersCopy(*from, to);
}

QCoro::Task<> BackupModel::chooseFolder(std::filesystem::path to, bool copyBackups) {
    auto work =
        [to, copyBackups](
            const AppEnvironment& environment) -> Result<std::filesystem::path, BackupFlowError> {
        const auto from = environment.fileStore->folder();
        auto chosen = ChosenBackupFolder::choose(from.value_or(to), to, copyBackups && from);
        if (!chosen) {
            return fail(BackupFlowError::file(chosen.error()));
        }
        return to;
    };
    auto running = perform(
        std::move(work),
        [](const std::filesystem::path& chosen) {
            return Status::success(Texts::format(
                QT_TRANSLATE_NOOP("Zemlar", "Backups now go to %@"), {displayFolder(chosen)}));
        },
        operationFailed, true);
    co_await running;
}

QString BackupModel::displayFolder(const std::filesystem::path& folder) {
    const QString path = QString::fromStdString(folder.lexically_normal().string());
    const QString home = QDir::homePath();
    if (path == home) {
        return QStringLiteral("~");
    }
    if (path.startsWith(home + QLatin1Char('/'))) {
        return QLatin1Char('~') + path.mid(home.size());
    }
    return path;
}

QCoro::Task<> BackupModel::verify() {
    auto running = perform(
        check, [](const BackupCheckReport& report) { return status(report); }, checkFailed, false);
    co_await running;
}

QCoro::Task<> BackupModel::restore(RestoreSource from, QString passphrase) {
    auto work = [from = std::move(from),
                 text = SecretText::sharedUTF8(passphrase)](const AppEnvironment& environment) {
        return restoreFrom(environment, from, text);
    };
    SecretText::wipe(passphrase);
    auto running = perform(
        std::move(work),
        [](const RestoreReport& restored) {
            return Status::success(Texts::format(
                QT_TRANSLATE_NOOP("Zemlar", "Restored: %lld, already present: %lld, failed: %lld"),
                {number(restored.imported), number(restored.alreadyPresent),
                 number(restored.failed)}));
        },
        operationFailed, true);
    co_await running;
}

void BackupModel::accountsDidChange() {
    scheduleAutomaticBackup();
}

void BackupModel::scheduleAutomaticBackup() {
    debouncer_.schedule([this] { runAutomaticBackup(); });
}

QCoro::Task<> BackupModel::runAutomaticBackup() {
    if (exportingAutomatically_) {
        exportAgain_ = true;
        co_return;
    }
    exportingAutomatically_ = true;
    const QPointer<BackupModel> alive(this);
    do {
        exportAgain_ = false;
        QFuture<Guarded<Exported>> pending = inBackground(exportNow, environment_);
        const Guarded<Exported> exported = co_await pending;
        logAutomaticBackup(exported);
        if (!alive) {
            co_return;
        }
        emit automaticBackupFinished();
    } while (exportAgain_);
    exportingAutomatically_ = false;
}

void BackupModel::logAutomaticBackup(const Guarded<Exported>& exported) {
    if (!exported) {
        AppLog::error(category, "Автокопия не создана: " + exported.error());
    } else if (*exported) {
        AppLog::info(category, "Автокопия создана, аккаунтов: " + std::to_string(**exported));
    } else if (exported->error().kind() == BackupFlowError::Kind::notConfigured) {
        AppLog::info(category, "Автокопия пропущена: парольная фраза не задана");
    } else {
        AppLog::error(category, "Автокопия не создана: " + exported->error().describe());
    }
}

QCoro::Task<> BackupModel::checkInbox() {
    if (checkingInbox_) {
        co_return;
    }
    checkingInbox_ = true;
    const QVariant stored = userDefaults().value(QLatin1String(inboxLastHashKey));
    std::optional<std::string> lastHash;
    if (stored.typeId() == QMetaType::QString) {
        lastHash = stored.toString().toStdString();
    }
    QFuture<Guarded<InboxCheckOutcome>> pending =
        inBackground(lookAtInbox, environment_, lastHash, failedInboxStamp_);
    const QPointer<BackupModel> alive(this);
    const Guarded<InboxCheckOutcome> checked = co_await pending;
    if (!alive) {
        co_return;
    }
    checkingInbox_ = false;
    if (!checked) {
        AppLog::error(category, "Входящие с iPhone не забраны: " + checked.error());
        emit changed();
        co_return;
    }
    const InboxCheckOutcome& outcome = *checked;

    bool importedAccounts = false;
    switch (outcome.kind()) {
    case InboxCheckOutcome::Kind::unchanged:
        break;
    case InboxCheckOutcome::Kind::failed:
        failedInboxStamp_ = outcome.failedStamp();
        if (outcome.error().kind() != InboxImportError::Kind::notConfigured) {
            AppLog::error(category, "Входящие с iPhone не забраны: " + outcome.error().describe());
            inboxProblem_ = message(outcome.error());
        }
        break;
    case InboxCheckOutcome::Kind::imported: {
        QSettings settings = userDefaults();
        settings.setValue(QLatin1String(inboxLastHashKey), QString::fromStdString(outcome.hash()));
        hasPhone_ = true;
        inboxProblem_.reset();
        failedInboxStamp_.reset();
        const auto added = static_cast<std::int64_t>(outcome.report().added.size());
        if (added > 0) {
            AppLog::info(category, "С iPhone забрано аккаунтов: " + std::to_string(added));
            // Whole milliseconds, as the user defaults keep it.
            const auto milliseconds =
                static_cast<qint64>(std::floor(currentTime().secondsSince1970() * 1000));
            lastInboxImport_ = InboxImport{
                .count = added, .date = Date(static_cast<double>(milliseconds) / 1000.0)};
            settings.setValue(QLatin1String(inboxLastImportCountKey), qlonglong{added});
            settings.setValue(QLatin1String(inboxLastImportDateKey),
                              QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC));
            importedAccounts = true;
        }
        break;
    }
    }
    emit changed();
    if (importedAccounts) {
        if (onInboxImported) {
            onInboxImported();
        }
        scheduleAutomaticBackup();
    }
}

void BackupModel::setStatus(Status status) {
    status_ = std::move(status);
    emit changed();
}

void BackupModel::reportFailure(const BackupFlowError& error, const char* logPrefix) {
    AppLog::error(category, logPrefix + error.describe());
    setStatus(Status::failure(message(error)));
}

QString BackupModel::message(const BackupFlowError& error) {
    switch (error.kind()) {
    case BackupFlowError::Kind::accounts:
        return error.accountsError().kind() == AccountStoreError::Kind::corrupted
                   ? Texts::text(QT_TRANSLATE_NOOP("Zemlar", "The account list file is corrupted"))
                   : Texts::text(
                         QT_TRANSLATE_NOOP("Zemlar", "Couldn't read or save the account list"));
    case BackupFlowError::Kind::secrets:
    case BackupFlowError::Kind::keyStore:
        return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Keychain access error"));
    case BackupFlowError::Kind::file:
        switch (error.fileError().kind()) {
        case BackupFileError::Kind::locationUnavailable:
            return Texts::text(QT_TRANSLATE_NOOP(
                "Zemlar", "No backup in iCloud Drive, or iCloud Drive is turned off"));
        case BackupFileError::Kind::readFailed:
            return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Couldn't read the backup file"));
        case BackupFileError::Kind::writeFailed:
            return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Couldn't write the backup file"));
        case BackupFileError::Kind::tooLarge:
            return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "The backup file is too large"));
        }
        break;
    case BackupFlowError::Kind::codec:
        switch (error.codecError().kind()) {
        case BackupError::Kind::unsupportedVersion:
            return Texts::text(
                QT_TRANSLATE_NOOP("Zemlar", "The backup was made by a newer version of Zemlar"));
        case BackupError::Kind::authenticationFailed:
            return Texts::text(
                QT_TRANSLATE_NOOP("Zemlar", "Wrong passphrase, or the file is damaged"));
        default:
            return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "The file is not an Zemlar backup"));
        }
    case BackupFlowError::Kind::notConfigured:
        return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Set a passphrase first"));
    case BackupFlowError::Kind::keyDerivationFailed:
        return Texts::text(
            QT_TRANSLATE_NOOP("Zemlar", "Couldn't derive a key from the passphrase"));
    case BackupFlowError::Kind::noBackup:
        return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "There is no backup yet"));
    }
    return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Couldn't read or save the account list"));
}

QString BackupModel::message(const InboxImportError& error) {
    switch (error.kind()) {
    case InboxImportError::Kind::codec:
        return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "The file from the iPhone is damaged"));
    case InboxImportError::Kind::accounts:
        return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Couldn't read or save the account list"));
    case InboxImportError::Kind::secrets:
    case InboxImportError::Kind::keyStore:
        return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Keychain access error"));
    case InboxImportError::Kind::notConfigured:
        return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Set a passphrase first"));
    case InboxImportError::Kind::staleKey:
        return Texts::text(QT_TRANSLATE_NOOP(
            "Zemlar",
            "The iPhone still uses the old passphrase. Enter the new one in Zemlar Mobile."));
    }
    return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "The file from the iPhone is damaged"));
}

BackupModel::Status BackupModel::status(const BackupCheckReport& report) {
    const QString made = DisplayDate::abbreviated(report.exportedAt);
    if (report.isComplete()) {
        QString text = Texts::format(
            QT_TRANSLATE_NOOP("Zemlar", "The backup is fine: all %lld accounts can be restored "
                                        "with the same codes. Made %@."),
            {number(report.accountsInBackup), made});
        if (report.extra >= 1) {
            text += QLatin1Char(' ') +
                    Texts::format(QT_TRANSLATE_NOOP(
                                      "Zemlar", "It also has accounts deleted since then: %lld."),
                                  {number(report.extra)});
        }
        return Status::success(text);
    }
    QStringList lines{
        Texts::format(QT_TRANSLATE_NOOP("Zemlar", "The backup from %@ is incomplete."), {made})};
    if (!report.missing.empty()) {
        lines << Texts::format(QT_TRANSLATE_NOOP("Zemlar", "Not in the backup: %@"),
                               {joined(report.missing)});
    }
    if (!report.mismatched.empty()) {
        lines << Texts::format(QT_TRANSLATE_NOOP("Zemlar", "Different code in the backup: %@"),
                               {joined(report.mismatched)});
    }
    lines << Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Use Back Up Now to write a fresh one."));
    return Status::failure(lines.join(QLatin1Char('\n')));
}

} // namespace zemlar
