// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/ExternalExports.hpp"

/// The authenticator's JSON export, plain or encrypted.
namespace zemlar::ExternalExports::ProtonAuthenticator {

bool recognises(std::string_view content);
Result<ImportBatch, ExportFailure> read(std::string_view content, std::string_view password);

} // namespace zemlar::ExternalExports::ProtonAuthenticator
