// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <ZemlarKit/FileImport.hpp>
#include <ZemlarKit/ImportReport.hpp>
#include <optional>
#include <vector>

/// The texts of an import's outcome, as the Import screen shows them and the command line
/// prints them.
namespace zemlar::ImportReportText {

/// One skipped account: its title ("Untitled" when it has none) and the reason.
struct SkippedRow {
    QString title;
    QString reason;
    bool operator==(const SkippedRow&) const = default;
};

/// "No accounts found" when the report has neither titles nor skips.
std::optional<QString> emptyResult(const ImportReport& report);
QStringList addedTitles(const ImportReport& report);
QString addedHeader(const ImportReport& report);
std::vector<SkippedRow> skippedRows(const ImportReport& report);
QString skippedHeader(const ImportReport& report);
/// One sentence for each part of a multi-code export met.
QStringList migrationTexts(const ImportReport& report);

/// The report as lines of plain text, in the screen's order.
QStringList lines(const ImportReport& report);

/// The text shown for a failure.
QString failure(const ImportFailure& failure);
QString failure(const FileImport::Failure& failure);

} // namespace zemlar::ImportReportText
