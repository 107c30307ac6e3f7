// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/ManualEntryError.hpp"

namespace zemlar {

std::string_view ManualEntryError::text() const {
    switch (kind_) {
    case Kind::emptyTitle:
        return emptyTitleText;
    case Kind::invalidSecret:
        return invalidSecretText;
    case Kind::invalidParameters:
        return invalidParametersText;
    }
    return invalidParametersText;
}

std::string ManualEntryError::describe() const {
    switch (kind_) {
    case Kind::emptyTitle:
        return "emptyTitle";
    case Kind::invalidSecret:
        return "invalidSecret";
    case Kind::invalidParameters:
        return "invalidParameters";
    }
    return "invalidParameters";
}

} // namespace zemlar
