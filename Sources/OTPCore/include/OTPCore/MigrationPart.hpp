// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace zemlar {

/// Which QR code of a multi-code export a migration link is: shown as index + 1 of count.
struct MigrationPart {
    /// Zero-based position within the export.
    std::int64_t index;
    /// Number of codes in the export; always 2 or more.
    std::int64_t count;

    bool operator==(const MigrationPart&) const = default;
};

} // namespace zemlar
