// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/BackupError.hpp"

namespace zemlar {

std::string BackupError::describe() const {
    switch (kind_) {
    case Kind::unsupportedVersion:
        return "unsupportedVersion(" + std::to_string(version_) + ")";
    case Kind::malformed:
        return "malformed";
    case Kind::unsupportedFormat:
        return "unsupportedFormat";
    case Kind::unsupportedKDF:
        return "unsupportedKDF";
    case Kind::unsupportedCipher:
        return "unsupportedCipher";
    case Kind::invalidKey:
        return "invalidKey";
    case Kind::authenticationFailed:
        return "authenticationFailed";
    case Kind::encodingFailed:
        return "encodingFailed";
    }
    return "malformed";
}

} // namespace zemlar
