// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ZemlarKit/ImportFailure.hpp>
#include <ZemlarKit/ImportReport.hpp>
#include <optional>
#include <utility>

namespace zemlar {

/// Where the import screen stands: the last run's report, the failure of the last action, nothing
/// done yet, or a run in progress.
class ImportStatus {
public:
    enum class Kind { done, failed, idle, working };

    static ImportStatus done(ImportReport report) {
        ImportStatus status(Kind::done);
        status.report_ = std::move(report);
        return status;
    }
    static ImportStatus failed(ImportFailure failure) {
        ImportStatus status(Kind::failed);
        status.failure_ = std::move(failure);
        return status;
    }
    static ImportStatus idle() { return ImportStatus(Kind::idle); }
    static ImportStatus working() { return ImportStatus(Kind::working); }

    Kind kind() const { return kind_; }
    /// The report of a done status; nothing otherwise.
    const std::optional<ImportReport>& report() const { return report_; }
    /// The failure of a failed status; nothing otherwise.
    const std::optional<ImportFailure>& failure() const { return failure_; }

    bool operator==(const ImportStatus&) const = default;

private:
    explicit ImportStatus(Kind kind) : kind_(kind) {}

    Kind kind_;
    std::optional<ImportReport> report_;
    std::optional<ImportFailure> failure_;
};

} // namespace zemlar
