// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/BackupHeader.hpp"

#include "OTPCore/BackupKDF.hpp"
#include "OTPCore/Base64.hpp"

namespace zemlar {

BackupHeader BackupHeader::make(Bytes salt, std::int64_t iterations) {
    return BackupHeader{
        .format = std::string(currentFormat),
        .version = currentVersion,
        .kdf = KDF{.name = std::string(BackupKDF::name),
                   .iterations = iterations,
                   .salt = std::move(salt)},
        .cipher = std::string(currentCipher),
    };
}

Bytes BackupHeader::authenticatedData() const {
    const std::string text = format + "\n" + std::to_string(version) + "\n" + kdf.name + "\n" +
                             std::to_string(kdf.iterations) + "\n" + Base64::encode(kdf.salt) +
                             "\n" + cipher;
    return Bytes(text.begin(), text.end());
}

} // namespace zemlar
