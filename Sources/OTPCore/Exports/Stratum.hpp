// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/ExternalExports.hpp"

/// The authenticator's backups: plain JSON, encrypted, and encrypted the legacy way.
namespace zemlar::ExternalExports::Stratum {

bool recognises(std::string_view content);
Result<ImportBatch, ExportFailure> read(std::string_view content, std::string_view password);

} // namespace zemlar::ExternalExports::Stratum
