// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/ExportFailure.hpp"
#include "OTPCore/ImportBatch.hpp"
#include "OTPCore/Result.hpp"

#include <optional>
#include <span>
#include <string_view>

/// Other authenticator apps' export files, recognised by their content alone.
namespace zemlar::ExternalExports {

/// One app's export format.
struct Format {
    /// The app's name as people know it, for the log and the import report.
    std::string_view name;
    /// True when the content is an export of this format, plain or encrypted.
    bool (*recognises)(std::string_view content);
    /// Every account of the export, or why none can be taken. The password is read only when the
    /// export is encrypted; an empty one then gives passwordNeeded.
    Result<ImportBatch, ExportFailure> (*read)(std::string_view content, std::string_view password);
};

/// Every supported format, most specific first.
std::span<const Format> formats();

/// The first format that recognises the content; nothing when none does.
const Format* recognise(std::string_view content);

/// The content read by the format that recognises it; nothing when no format does (the content
/// is then for the link parser).
std::optional<Result<ImportBatch, ExportFailure>> read(std::string_view content,
                                                       std::string_view password = {});

} // namespace zemlar::ExternalExports
