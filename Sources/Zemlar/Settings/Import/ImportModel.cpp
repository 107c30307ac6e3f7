// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImportModel.hpp"

#include "AppLog.hpp"
#include "BackgroundWork.hpp"
#include "ImportReportText.hpp"

#include <OTPCore/Crypto.hpp>
#include <OTPCore/ImportParser.hpp>
#include <OTPCore/ManualEntry.hpp>
#include <OTPCore/Unicode.hpp>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>
#include <ZemlarKit/ChosenFile.hpp>
#include <ZemlarKit/FileImport.hpp>
#include <ZemlarKit/ImportFlow.hpp>
#include <ZemlarKit/ImportText.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <algorithm>
#include <chrono>
#include <qcoro/qcorofuture.h>

namespace zemlar {
namespace {

Date currentDate() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return Date(std::chrono::duration<double>(since).count());
}

ImportReport runBatch(const ImportBatch& batch, const AppEnvironment& environment) {
    return ImportFlow::run(batch, currentDate(), *environment.accountStore,
                           *environment.secretStore, *environment.groupStore);
}

/// Parses the text, wipes it and imports what it holds.
ImportReport importText(std::string text, const AppEnvironment& environment) {
    const ImportBatch batch = ImportParser::parse(text);
    Crypto::wipe(text);
    return runBatch(batch, environment);
}

Result<ImportReport, ImportFailure> importPayload(Result<std::string, ImportFailure> text,
                                                  const AppEnvironment& environment) {
    if (!text) {
        return fail(text.error());
    }
    return importText(std::move(*text), environment);
}

/// The image as PNG data, which the QR reader decodes; empty data for an image Qt cannot
/// convert, which the reader then counts as an image without codes.
QByteArray encoded(const QImage& image) {
    QByteArray data;
    if (!image.isNull()) {
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    return data;
}

std::span<const std::uint8_t> bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

} // namespace

ImportModel::ImportModel(AppEnvironment environment, std::function<void()> onImported,
                         QObject* parent)
    : QObject(parent), environment(std::move(environment)), onImported_(std::move(onImported)) {}

QCoro::Task<> ImportModel::importFromClipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    std::optional<QImage> image;
    std::optional<std::string> text;
    if (data && data->hasImage()) {
        image = qvariant_cast<QImage>(data->imageData());
    }
    if (data && data->hasText()) {
        text = data->text().toStdString();
    }
    if (!image && !text) {
        setStatus(Status::failed(Failure::emptyClipboard()));
        co_return;
    }
    auto job = [image, text](const AppEnvironment& environment) mutable {
        std::optional<QByteArray> imageData;
        if (image) {
            imageData = encoded(*image);
        }
        auto payload = ImportText::payloadText(
            imageData ? std::optional(bytesOf(*imageData)) : std::nullopt, text);
        if (text) {
            Crypto::wipe(*text);
        }
        return importPayload(std::move(payload), environment);
    };
    QCoro::Task<> running = perform(std::move(job));
    co_await running;
}

ImportModel::Job ImportModel::fileJob(std::filesystem::path at,
                                      std::shared_ptr<const Crypto::WipedText> password) {
    return [at = std::move(at), password = std::move(password)](
               const AppEnvironment& environment) -> Result<ImportReport, Failure> {
        const auto batch = FileImport::read(at, password ? password->value() : std::string());
        if (!batch) {
            if (const auto* refused = std::get_if<ExportFailure>(&batch.error())) {
                return fail(Failure::refusedExport(*refused));
            }
            return fail(std::get<Failure>(batch.error()));
        }
        return runBatch(*batch, environment);
    };
}

QCoro::Task<> ImportModel::importFile(std::filesystem::path at) {
    const QPointer<ImportModel> alive(this);
    QCoro::Task<> reading = perform(fileJob(at, nullptr));
    co_await reading;
    if (!alive || !status_.failure() || !status_.failure()->needsPassword() || !passwordPrompt) {
        co_return;
    }
    auto password = passwordPrompt();
    if (!alive) {
        co_return;
    }
    if (!password) {
        setStatus(Status::idle());
        co_return;
    }
    auto given = std::make_shared<const Crypto::WipedText>(std::move(*password));
    QCoro::Task<> opening = perform(fileJob(std::move(at), std::move(given)));
    co_await opening;
}

QCoro::Task<bool> ImportModel::addManually(std::string issuer, std::string name, std::string secret,
                                           OTPAlgorithm algorithm, std::int64_t digits,
                                           std::int64_t period) {
    const QPointer<ImportModel> alive(this);
    if (ImportForm::isLink(secret)) {
        auto job = [link = std::make_shared<const Crypto::WipedText>(Unicode::trimmed(secret))](
                       const AppEnvironment& environment) {
            return Result<ImportReport, Failure>(importText(link->value(), environment));
        };
        Crypto::wipe(secret);
        QCoro::Task<> running = perform(std::move(job));
        co_await running;
        co_return alive&& canClearForm();
    }
    auto entry = [&] {
        const Crypto::WipedText key(Unicode::trimmed(secret));
        Crypto::wipe(secret);
        return ManualEntry::make(issuer, name, key.value(), algorithm, digits, period);
    }();
    if (!entry) {
        setStatus(Status::failed(Failure::manual(entry.error())));
        co_return false;
    }
    auto job = [batch = ImportBatch{.entries = {std::move(*entry)},
                                    .skipped = {},
                                    .migrationParts = {}}](const AppEnvironment& environment) {
        return Result<ImportReport, Failure>(runBatch(batch, environment));
    };
    QCoro::Task<> running = perform(std::move(job));
    co_await running;
    co_return alive&& canClearForm();
}

QCoro::Task<> ImportModel::addFromForm() {
    const QPointer<ImportModel> alive(this);
    QCoro::Task<bool> adding =
        addManually(form.issuer, form.name, form.secret, form.algorithm, form.digits, form.period);
    const bool clear = co_await adding;
    if (alive && clear) {
        form.clear();
        emit changed();
    }
}

bool ImportModel::canClearForm() const {
    const auto& report = status_.report();
    if (!report) {
        return false;
    }
    if (!report->imported.empty()) {
        return true;
    }
    return std::any_of(report->skipped.begin(), report->skipped.end(), [](const ImportSkip& skip) {
        return skip.reason == ImportSkipReason::duplicate;
    });
}

QCoro::Task<> ImportModel::perform(Job job) {
    setStatus(Status::working());
    // Named, not a temporary inside the co_await: g++ 12 destroys such temporaries twice.
    QFuture<Guarded<Result<ImportReport, Failure>>> pending =
        inBackground(std::move(job), environment);
    const QPointer<ImportModel> alive(this);
    Guarded<Result<ImportReport, Failure>> guarded = co_await pending;
    if (!alive) {
        co_return; // the screen went away during the run; the accounts are stored regardless
    }
    if (!guarded) {
        AppLog::error("import", "Импорт прерван: " + guarded.error());
        setStatus(Status::idle());
        co_return;
    }
    Result<ImportReport, Failure>& outcome = *guarded;
    if (!outcome) {
        setStatus(Status::failed(outcome.error()));
        co_return;
    }
    const bool added = !outcome->imported.empty();
    AppLog::info("import", "Импорт: добавлено " + std::to_string(outcome->imported.size()) +
                               ", пропущено " + std::to_string(outcome->skipped.size()));
    setStatus(Status::done(std::move(*outcome)));
    if (added && onImported_) {
        onImported_();
    }
}

void ImportModel::setStatus(Status status) {
    status_ = std::move(status);
    emit changed();
}

std::optional<QString> ImportModel::failureText() const {
    if (!status_.failure()) {
        return std::nullopt;
    }
    return text(*status_.failure());
}

std::optional<QString> ImportModel::emptyResultText() const {
    const auto& report = status_.report();
    return report ? ImportReportText::emptyResult(*report) : std::nullopt;
}

QStringList ImportModel::addedTitles() const {
    const auto& report = status_.report();
    return report ? ImportReportText::addedTitles(*report) : QStringList();
}

QString ImportModel::addedHeader() const {
    return ImportReportText::addedHeader(status_.report().value_or(ImportReport{}));
}

std::vector<ImportModel::SkippedRow> ImportModel::skippedRows() const {
    const auto& report = status_.report();
    return report ? ImportReportText::skippedRows(*report) : std::vector<SkippedRow>();
}

QString ImportModel::skippedHeader() const {
    return ImportReportText::skippedHeader(status_.report().value_or(ImportReport{}));
}

QStringList ImportModel::migrationTexts() const {
    const auto& report = status_.report();
    return report ? ImportReportText::migrationTexts(*report) : QStringList();
}

QString ImportModel::text(const Failure& failure) {
    return ImportReportText::failure(failure);
}

} // namespace zemlar
