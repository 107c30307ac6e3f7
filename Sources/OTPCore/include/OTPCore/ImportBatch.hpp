// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/ImportSkipReason.hpp"
#include "OTPCore/MigrationPart.hpp"
#include "OTPCore/OTPAuthEntry.hpp"

#include <string>
#include <vector>

namespace zemlar {

/// Something an import passed over: the account's display title (empty for a whole line that
/// could not be read) and why.
struct ImportSkip {
    std::string title;
    ImportSkipReason reason;

    bool operator==(const ImportSkip&) const = default;
};

/// What one import text gave: accounts to add and skips, both in the order of the text, and one
/// part for each multi-code export link met.
struct ImportBatch {
    std::vector<OTPAuthEntry> entries;
    std::vector<ImportSkip> skipped;
    std::vector<MigrationPart> migrationParts;

    /// Appends the other batch's entries, skips and parts to these.
    void append(ImportBatch&& other);

    bool operator==(const ImportBatch&) const = default;
};

} // namespace zemlar
