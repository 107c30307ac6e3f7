// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/ImportBatch.hpp>
#include <OTPCore/MigrationPart.hpp>
#include <OTPCore/UUID.hpp>
#include <string>
#include <vector>

namespace zemlar {

/// The outcome of one import run.
struct ImportReport {
    /// Titles of the accounts added, in batch order.
    std::vector<std::string> imported;
    /// Identifiers of the accounts added, parallel to `imported`.
    std::vector<UUID> importedIDs;
    /// The batch's own skips first, then those of the run in entry order.
    std::vector<ImportSkip> skipped;
    /// Passed through from the batch.
    std::vector<MigrationPart> migrationParts;

    bool operator==(const ImportReport&) const = default;
};

} // namespace zemlar
