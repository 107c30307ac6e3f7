// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/OTPAuthURIError.hpp"

namespace zemlar {

std::string OTPAuthURIError::describe() const {
    switch (kind_) {
    case Kind::unsupportedType:
        return "unsupportedType(\"" + type_ + "\")";
    case Kind::invalidURI:
        return "invalidURI";
    case Kind::unsupportedScheme:
        return "unsupportedScheme";
    case Kind::missingSecret:
        return "missingSecret";
    case Kind::invalidSecret:
        return "invalidSecret";
    case Kind::invalidParameters:
        return "invalidParameters";
    }
    return "invalidURI";
}

} // namespace zemlar
