// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/Account.hpp"

namespace zemlar::AccountTitle {

std::string make(std::string_view issuer, std::string_view name) {
    if (issuer.empty()) {
        return std::string(name);
    }
    if (name.empty()) {
        return std::string(issuer);
    }
    std::string title(issuer);
    title.append(" \u00B7 ").append(name);
    return title;
}

} // namespace zemlar::AccountTitle
