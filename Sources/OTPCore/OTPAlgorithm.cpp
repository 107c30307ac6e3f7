// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/OTPAlgorithm.hpp"

namespace zemlar::OTPAlgorithms {

std::string_view rawValue(OTPAlgorithm algorithm) {
    switch (algorithm) {
    case OTPAlgorithm::sha1:
        return "SHA1";
    case OTPAlgorithm::sha256:
        return "SHA256";
    case OTPAlgorithm::sha512:
        return "SHA512";
    }
    return "SHA1";
}

std::optional<OTPAlgorithm> fromRawValue(std::string_view text) {
    for (const auto algorithm : allCases) {
        if (rawValue(algorithm) == text) {
            return algorithm;
        }
    }
    return std::nullopt;
}

} // namespace zemlar::OTPAlgorithms
