// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppEnvironment.hpp"
#include "ImportForm.hpp"
#include "ImportReportText.hpp"
#include "ImportStatus.hpp"

#include <OTPCore/Crypto.hpp>
#include <OTPCore/Result.hpp>
#include <QObject>
#include <QString>
#include <QStringList>
#include <ZemlarKit/ImportFailure.hpp>
#include <ZemlarKit/ImportReport.hpp>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>
#include <string>
#include <vector>

namespace zemlar {

/// The Import screen: brings accounts in from the clipboard, a file or the manual form, one run
/// at a time, and keeps the outcome of the last action. Lives on the main thread; announces
/// every change of the status or the form with `changed()`.
class ImportModel : public QObject {
    Q_OBJECT

public:
    using Status = ImportStatus;
    using Failure = ImportFailure;
    /// One import run, off the main thread, over a copy of the environment.
    using Job = std::function<Result<ImportReport, Failure>(const AppEnvironment&)>;

    /// One skipped account as the screen lists it: its title ("Untitled" when it has none) and
    /// the reason.
    using SkippedRow = ImportReportText::SkippedRow;

    /// Asks the user for the password of an export file; nothing when cancelled.
    using PasswordPrompt = std::function<std::optional<std::string>()>;

    /// `onImported` runs after each run that added at least one account.
    ImportModel(AppEnvironment environment, std::function<void()> onImported,
                QObject* parent = nullptr);

    const Status& status() const { return status_; }
    bool isWorking() const { return status_.kind() == Status::Kind::working; }

    /// Imports the clipboard's image (its QR codes) or else its text.
    QCoro::Task<> importFromClipboard();
    /// Imports a file: another app's export, the QR codes of an image, or else the links of a
    /// UTF-8 text. An export that is protected by a password is read again with the password
    /// `passwordPrompt` gives; cancelling it leaves the screen idle.
    QCoro::Task<> importFile(std::filesystem::path at);
    /// Imports the form's account, or the otpauth link typed into the secret field (then the
    /// other fields are ignored). True when the form may be emptied: see `canClearForm`.
    QCoro::Task<bool> addManually(std::string issuer, std::string name, std::string secret,
                                  OTPAlgorithm algorithm, std::int64_t digits, std::int64_t period);
    /// `addManually` with the fields of `form`, which is emptied when that gives true.
    QCoro::Task<> addFromForm();

    /// The last run is done and added an account or found the account existing already.
    bool canClearForm() const;
    /// The form may be submitted: it is complete and no run is in progress.
    bool canAdd() const { return form.isComplete() && !isWorking(); }

    /// The text of the failure, when the last action failed.
    std::optional<QString> failureText() const;
    /// "No accounts found" when the last run is done without titles or skips.
    std::optional<QString> emptyResultText() const;
    /// The titles of the accounts the last run added.
    QStringList addedTitles() const;
    QString addedHeader() const;
    std::vector<SkippedRow> skippedRows() const;
    QString skippedHeader() const;
    /// One sentence for each part of a multi-code export that the last run met.
    QStringList migrationTexts() const;

    /// The text shown for a failure.
    static QString text(const Failure& failure);

    /// The manual form's fields; the view writes them as the user types.
    ImportForm form;
    AppEnvironment environment;
    /// Without one, a protected export fails with the text that says so.
    PasswordPrompt passwordPrompt;

signals:
    void changed();

private:
    /// Reads the file, with the password when there is one, and imports what it holds.
    static Job fileJob(std::filesystem::path at, std::shared_ptr<const Crypto::WipedText> password);
    QCoro::Task<> perform(Job job);
    void setStatus(Status status);

    Status status_ = Status::idle();
    std::function<void()> onImported_;
};

} // namespace zemlar
