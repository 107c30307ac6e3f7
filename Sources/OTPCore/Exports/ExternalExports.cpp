// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/ExternalExports.hpp"

#include "Bitwarden.hpp"
#include "EnteAuth.hpp"
#include "ProtonAuthenticator.hpp"
#include "Stratum.hpp"

#include <array>

namespace zemlar::ExternalExports {

namespace {

// Each app's reader adds its Format here.
constexpr std::array allFormats{
    Format{"Stratum", &Stratum::recognises, &Stratum::read},
    Format{"Ente Auth", &EnteAuth::recognises, &EnteAuth::read},
    Format{"Proton Authenticator", &ProtonAuthenticator::recognises, &ProtonAuthenticator::read},
    Format{"Bitwarden", &Bitwarden::recognisesJSON, &Bitwarden::readJSON},
    Format{"Bitwarden (CSV)", &Bitwarden::recognisesCSV, &Bitwarden::readCSV},
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
