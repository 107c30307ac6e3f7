// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/BackupPassphrase.hpp"

#include "OTPCore/Unicode.hpp"

namespace zemlar {

std::string BackupPassphraseProblem::describe() const {
    switch (kind_) {
    case Kind::tooShort:
        return "tooShort(minimum: " + std::to_string(minimum_) + ")";
    case Kind::mismatch:
        return "mismatch";
    }
    return "mismatch";
}

namespace BackupPassphrase {

std::optional<BackupPassphraseProblem> problem(std::string_view passphrase,
                                               std::string_view confirmation) {
    if (static_cast<std::int64_t>(Unicode::characterCount(passphrase)) < minimumLength) {
        return BackupPassphraseProblem::tooShort(minimumLength);
    }
    if (!Unicode::isCanonicallyEquivalent(passphrase, confirmation)) {
        return BackupPassphraseProblem::mismatch();
    }
    return std::nullopt;
}

} // namespace BackupPassphrase
} // namespace zemlar
