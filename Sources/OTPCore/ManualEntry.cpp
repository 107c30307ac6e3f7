// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/ManualEntry.hpp"

#include "OTPCore/Base32.hpp"
#include "OTPCore/Crypto.hpp"
#include "OTPCore/Unicode.hpp"

namespace zemlar::ManualEntry {

Result<OTPAuthEntry, ManualEntryError> make(std::string_view issuer, std::string_view name,
                                            std::string_view secret, OTPAlgorithm algorithm,
                                            std::int64_t digits, std::int64_t period) {
    std::string trimmedIssuer = Unicode::trimmed(issuer);
    std::string trimmedName = Unicode::trimmed(name);
    if (trimmedIssuer.empty() && trimmedName.empty()) {
        return fail(ManualEntryError::emptyTitle());
    }
    auto bytes = Base32::decode(secret);
    if (!bytes) {
        return fail(ManualEntryError::invalidSecret());
    }
    const auto parameters = OTPParameters::make(algorithm, digits, period);
    if (!parameters) {
        Crypto::wipe(*bytes);
        return fail(ManualEntryError::invalidParameters());
    }
    return OTPAuthEntry(std::move(trimmedIssuer), std::move(trimmedName), std::move(*bytes),
                        *parameters);
}

} // namespace zemlar::ManualEntry
