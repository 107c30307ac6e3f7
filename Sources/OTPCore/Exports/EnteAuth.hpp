// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/ExternalExports.hpp"

/// The authenticator's plain text export (one link per line, with the app's own display item)
/// and its encrypted export.
namespace zemlar::ExternalExports::EnteAuth {

bool recognises(std::string_view content);
Result<ImportBatch, ExportFailure> read(std::string_view content, std::string_view password);

} // namespace zemlar::ExternalExports::EnteAuth
