// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/ImportSkipReason.hpp"

namespace zemlar::ImportSkipReasons {

std::string_view text(ImportSkipReason reason) {
    switch (reason) {
    case ImportSkipReason::unrecognized:
        return unrecognizedText;
    case ImportSkipReason::invalid:
        return invalidText;
    case ImportSkipReason::hotp:
        return hotpText;
    case ImportSkipReason::unsupportedType:
        return unsupportedTypeText;
    case ImportSkipReason::unsupportedAlgorithm:
        return unsupportedAlgorithmText;
    case ImportSkipReason::invalidParameters:
        return invalidParametersText;
    case ImportSkipReason::emptySecret:
        return emptySecretText;
    case ImportSkipReason::duplicate:
        return duplicateText;
    case ImportSkipReason::storageFailed:
        return storageFailedText;
    }
    return invalidText;
}

std::string_view describe(ImportSkipReason reason) {
    switch (reason) {
    case ImportSkipReason::unrecognized:
        return "unrecognized";
    case ImportSkipReason::invalid:
        return "invalid";
    case ImportSkipReason::hotp:
        return "hotp";
    case ImportSkipReason::unsupportedType:
        return "unsupportedType";
    case ImportSkipReason::unsupportedAlgorithm:
        return "unsupportedAlgorithm";
    case ImportSkipReason::invalidParameters:
        return "invalidParameters";
    case ImportSkipReason::emptySecret:
        return "emptySecret";
    case ImportSkipReason::duplicate:
        return "duplicate";
    case ImportSkipReason::storageFailed:
        return "storageFailed";
    }
    return "invalid";
}

} // namespace zemlar::ImportSkipReasons
