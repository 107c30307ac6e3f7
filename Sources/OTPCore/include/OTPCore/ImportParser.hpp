// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/ImportBatch.hpp"

#include <string_view>

/// The text of any import source, one link per line.
namespace zemlar::ImportParser {

/// The accounts of every otpauth:// and otpauth-migration:// line, in order; every other
/// non-blank line costs exactly one skip. Never fails.
ImportBatch parse(std::string_view text);

} // namespace zemlar::ImportParser
