// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/BackupKDF.hpp"

#include "OTPCore/Crypto.hpp"
#include "OTPCore/Unicode.hpp"

#include <limits>
#include <string>

namespace zemlar::BackupKDF {

std::optional<Bytes> deriveKey(std::string_view passphrase, std::span<const std::uint8_t> salt,
                               std::int64_t iterations) {
    if (salt.empty() || iterations < 1 ||
        iterations > std::int64_t{std::numeric_limits<std::uint32_t>::max()}) {
        return std::nullopt;
    }
    const Crypto::WipedText normalized(Unicode::nfc(passphrase));
    if (normalized->empty()) {
        return std::nullopt;
    }
    return Crypto::pbkdf2SHA256(
        {reinterpret_cast<const std::uint8_t*>(normalized->data()), normalized->size()}, salt,
        static_cast<std::uint64_t>(iterations), keyLength);
}

} // namespace zemlar::BackupKDF
