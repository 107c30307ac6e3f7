// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImportForm.hpp"

#include <OTPCore/Crypto.hpp>
#include <OTPCore/Unicode.hpp>
#include <QString>
#include <algorithm>
#include <cctype>

namespace zemlar {

bool ImportForm::isComplete() const {
    return !secret.empty() &&
           (holdsLink() || !QString::fromStdString(issuer + name).trimmed().isEmpty());
}

bool ImportForm::holdsLink() const {
    return isLink(secret);
}

bool ImportForm::isLink(std::string_view key) {
    const Crypto::WipedText trimmed(Unicode::trimmed(key));
    constexpr std::string_view scheme = "otpauth";
    return trimmed->size() >= scheme.size() &&
           std::equal(scheme.begin(), scheme.end(), trimmed->begin(), [](char lower, char typed) {
               return lower == std::tolower(static_cast<unsigned char>(typed));
           });
}

void ImportForm::clear() {
    Crypto::wipe(secret);
    *this = ImportForm{};
}

} // namespace zemlar
