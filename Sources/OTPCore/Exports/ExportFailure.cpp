// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/ExportFailure.hpp"

namespace zemlar::ExportFailures {

std::string_view text(ExportFailure failure) {
    switch (failure) {
    case ExportFailure::passwordNeeded:
        return passwordNeededText;
    case ExportFailure::wrongPassword:
        return wrongPasswordText;
    case ExportFailure::damaged:
        return damagedText;
    case ExportFailure::restricted:
        return restrictedText;
    case ExportFailure::tooCostly:
        return tooCostlyText;
    }
    return damagedText;
}

std::string_view describe(ExportFailure failure) {
    switch (failure) {
    case ExportFailure::passwordNeeded:
        return "passwordNeeded";
    case ExportFailure::wrongPassword:
        return "wrongPassword";
    case ExportFailure::damaged:
        return "damaged";
    case ExportFailure::restricted:
        return "restricted";
    case ExportFailure::tooCostly:
        return "tooCostly";
    }
    return "damaged";
}

} // namespace zemlar::ExportFailures
