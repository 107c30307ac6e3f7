// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/AccountsCodecError.hpp"

namespace zemlar {

std::string AccountsCodecError::describe() const {
    switch (kind_) {
    case Kind::unsupportedVersion:
        return "unsupportedVersion(" + std::to_string(version_) + ")";
    case Kind::malformed:
        return "malformed";
    case Kind::encodingFailed:
        return "encodingFailed";
    }
    return "malformed";
}

} // namespace zemlar
