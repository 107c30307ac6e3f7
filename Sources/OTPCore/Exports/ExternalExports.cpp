// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/ExternalExports.hpp"

#include "Bitwarden.hpp"
#include "EnteAuth.hpp"
#include "ProtonAuthenticator.hpp"
#include "Readers.hpp"
#include "Stratum.hpp"

#include <array>

namespace zemlar::ExternalExports {

namespace {

// Each app's reader adds its Format here. The encrypted andOTP export has no marker and is
// recognised by elimination: it stays last.
constexpr std::array allFormats{
    Format{"Aegis", Aegis::recognises, Aegis::read},
    Format{"2FAS", TwoFAS::recognises, TwoFAS::read},
    Format{"FreeOTP+", FreeOTPPlus::recognises, FreeOTPPlus::read},
    Format{"FreeOTP", FreeOTP::recognises, FreeOTP::read},
    Format{"LastPass Authenticator", LastPass::recognises, LastPass::read},
    Format{"andOTP", AndOTP::recognises, AndOTP::read},
    Format{"Stratum", &Stratum::recognises, &Stratum::read},
    Format{"Ente Auth", &EnteAuth::recognises, &EnteAuth::read},
    Format{"Proton Authenticator", &ProtonAuthenticator::recognises, &ProtonAuthenticator::read},
    Format{"Bitwarden", &Bitwarden::recognisesJSON, &Bitwarden::readJSON},
    Format{"Bitwarden (CSV)", &Bitwarden::recognisesCSV, &Bitwarden::readCSV},
    Format{"andOTP", AndOTPEncrypted::recognises, AndOTPEncrypted::read},
};

} // namespace

std::span<const Format> formats() {
    return allFormats;
}

const Format* recognise(std::string_view content) {
    for (const auto& format : formats()) {
        if (format.recognises(content)) {
            return &format;
        }
    }
    return nullptr;
}

std::optional<Result<ImportBatch, ExportFailure>> read(std::string_view content,
                                                       std::string_view password) {
    const auto* format = recognise(content);
    if (format == nullptr) {
        return std::nullopt;
    }
    return format->read(content, password);
}

} // namespace zemlar::ExternalExports
