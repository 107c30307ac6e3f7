// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/SecretStoreError.hpp"

namespace zemlar {

std::string SecretStoreError::describe() const {
    switch (kind_) {
    case Kind::keychain:
        return "keychain(" + std::to_string(status_) + ")";
    case Kind::duplicate:
        return "duplicate";
    case Kind::notFound:
        return "notFound";
    case Kind::invalidData:
        return "invalidData";
    }
    return "invalidData";
}

} // namespace zemlar
