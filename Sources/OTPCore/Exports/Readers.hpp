// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/ExportFailure.hpp"
#include "OTPCore/ImportBatch.hpp"
#include "OTPCore/Result.hpp"

#include <string_view>

/// Each app's reader: whether content is its export, and the accounts of that export.
namespace zemlar::ExternalExports {

#define ZEMLAR_EXPORT_READER(app)                                                                  \
    namespace app {                                                                                \
    bool recognises(std::string_view content);                                                     \
    Result<ImportBatch, ExportFailure> read(std::string_view content, std::string_view password);  \
    }

ZEMLAR_EXPORT_READER(Aegis)
ZEMLAR_EXPORT_READER(TwoFAS)
ZEMLAR_EXPORT_READER(AndOTP)
ZEMLAR_EXPORT_READER(AndOTPEncrypted)
ZEMLAR_EXPORT_READER(FreeOTPPlus)
ZEMLAR_EXPORT_READER(FreeOTP)
ZEMLAR_EXPORT_READER(LastPass)

#undef ZEMLAR_EXPORT_READER

} // namespace zemlar::ExternalExports
