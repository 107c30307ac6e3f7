// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/ImportBatch.hpp"

#include <iterator>

namespace zemlar {

void ImportBatch::append(ImportBatch&& other) {
    entries.insert(entries.end(), std::make_move_iterator(other.entries.begin()),
                   std::make_move_iterator(other.entries.end()));
    skipped.insert(skipped.end(), std::make_move_iterator(other.skipped.begin()),
                   std::make_move_iterator(other.skipped.end()));
    migrationParts.insert(migrationParts.end(), other.migrationParts.begin(),
                          other.migrationParts.end());
    other = ImportBatch{};
}

} // namespace zemlar
