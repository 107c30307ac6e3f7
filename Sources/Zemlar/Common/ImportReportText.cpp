// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImportReportText.hpp"

#include <ZemlarScreens/Texts.hpp>
#include <string>

namespace zemlar::ImportReportText {

std::optional<QString> emptyResult(const ImportReport& report) {
    if (!report.imported.empty() || !report.skipped.empty()) {
        return std::nullopt;
    }
    return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "No accounts found"));
}

QStringList addedTitles(const ImportReport& report) {
    QStringList titles;
    for (const auto& title : report.imported) {
        titles.append(QString::fromStdString(title));
    }
    return titles;
}

QString addedHeader(const ImportReport& report) {
    return Texts::format(QT_TRANSLATE_NOOP("Zemlar", "Added: %lld"),
                         {QString::number(report.imported.size())});
}

std::vector<SkippedRow> skippedRows(const ImportReport& report) {
    std::vector<SkippedRow> rows;
    for (const auto& skip : report.skipped) {
        rows.push_back(SkippedRow{
            .title = skip.title.empty() ? Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Untitled"))
                                        : QString::fromStdString(skip.title),
            .reason = Texts::text(ImportSkipReasons::text(skip.reason).data()),
        });
    }
    return rows;
}

QString skippedHeader(const ImportReport& report) {
    return Texts::format(QT_TRANSLATE_NOOP("Zemlar", "Skipped: %lld"),
                         {QString::number(report.skipped.size())});
}

QStringList migrationTexts(const ImportReport& report) {
    QStringList texts;
    for (const auto& part : report.migrationParts) {
        texts.append(Texts::format(
            QT_TRANSLATE_NOOP("Zemlar", "This is part %lld of %lld of a Google Authenticator "
                                        "export. Import the remaining QR codes."),
            {QString::number(static_cast<qulonglong>(part.index) + 1),
             QString::number(part.count)}));
    }
    return texts;
}

QStringList lines(const ImportReport& report) {
    if (const auto empty = emptyResult(report)) {
        return {*empty};
    }
    QStringList lines{addedHeader(report)};
    for (const QString& title : addedTitles(report)) {
        lines.append(QStringLiteral("  ✓ ") + title);
    }
    lines.append(skippedHeader(report));
    for (const auto& row : skippedRows(report)) {
        lines.append(QStringLiteral("  ") + row.title + QStringLiteral(" — ") + row.reason);
    }
    return lines + migrationTexts(report);
}

QString failure(const ImportFailure& failure) {
    switch (failure.kind()) {
    case ImportFailure::Kind::manual:
        return Texts::text(failure.manualError().text().data());
    case ImportFailure::Kind::emptyClipboard:
        return Texts::text(ImportFailure::emptyClipboardText.data());
    case ImportFailure::Kind::unreadableFile:
        return Texts::text(ImportFailure::unreadableFileText.data());
    case ImportFailure::Kind::fileTooLarge:
        return Texts::text(ImportFailure::fileTooLargeText.data());
    case ImportFailure::Kind::noQRCode:
        return Texts::text(ImportFailure::noQRCodeText.data());
    case ImportFailure::Kind::refusedExport:
        return Texts::text(ExportFailures::text(failure.exportFailure()).data());
    }
    return Texts::text(ImportFailure::noQRCodeText.data());
}

QString failure(const FileImport::Failure& failure) {
    if (const auto* exported = std::get_if<ExportFailure>(&failure)) {
        return ImportReportText::failure(ImportFailure::refusedExport(*exported));
    }
    return ImportReportText::failure(std::get<ImportFailure>(failure));
}

} // namespace zemlar::ImportReportText
