// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/ImportFailure.hpp"

#include <OTPCore/ExportFailure.hpp>
#include <OTPCore/ImportBatch.hpp>
#include <OTPCore/Result.hpp>
#include <filesystem>
#include <string_view>
#include <variant>

/// A file as an import source, read the one way every importer reads it.
namespace zemlar::FileImport {

/// Why a file gave no accounts: a failure of the import screen's own, or another app's export
/// that refused to open.
using Failure = std::variant<ImportFailure, ExportFailure>;

/// The accounts of the file, read up to the chosen-file size limit: another app's export when
/// one recognises the content (opened with `password` when it is encrypted; an empty password
/// then gives passwordNeeded), else the QR codes of an image, else the links of a UTF-8 text.
Result<ImportBatch, Failure> read(const std::filesystem::path& at, std::string_view password);

} // namespace zemlar::FileImport
