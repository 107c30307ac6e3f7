// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/DeliveryError.hpp"

namespace zemlar {

std::string DeliveryError::describe() const {
    switch (kind_) {
    case Kind::accessibilityDenied:
        return "accessibilityDenied";
    case Kind::invalidCode:
        return "invalidCode";
    case Kind::eventFailed:
        return "eventFailed";
    case Kind::focusLost:
        return "focusLost";
    }
    return "eventFailed";
}

} // namespace zemlar
