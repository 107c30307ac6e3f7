// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/ImportBatch.hpp"

#include <optional>
#include <string_view>

/// The otpauth-migration:// export link: a Base64 "data" item holding a protobuf payload of
/// accounts.
namespace zemlar::OTPMigration {

/// The accounts of one export link as entries or skips, with its part when the export spans
/// several codes; nothing when the link as a whole cannot be read.
std::optional<ImportBatch> parse(std::string_view text);

} // namespace zemlar::OTPMigration
