// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImportForm.hpp"

#include <OTPCore/Crypto.hpp>
#include <QString>

namespace zemlar {

bool ImportForm::isComplete() const {
    return !secret.empty() &&
           (holdsLink() || !QString::fromStdString(issuer + name).trimmed().isEmpty());
}

bool ImportForm::holdsLink() const {
    return QString::fromStdString(secret).trimmed().toLower().startsWith(QLatin1String("otpauth"));
}

void ImportForm::clear() {
    Crypto::wipe({reinterpret_cast<std::uint8_t*>(secret.data()), secret.size()});
    *this = ImportForm{};
}

} // namespace zemlar
