// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Result.hpp"

#include <cstdint>
#include <string>
#include <string_view>

namespace zemlar {

/// The readable part of a backup file. It is not encrypted but authenticated: every field goes
/// into the additional data of the sealed box.
struct BackupHeader {
    static constexpr std::string_view currentFormat = "zemlar-backup";
    static constexpr std::int64_t currentVersion = 1;
    static constexpr std::string_view currentCipher = "AES-256-GCM";

    /// How the file's key was derived from the passphrase.
    struct KDF {
        std::string name;
        std::int64_t iterations = 0;
        Bytes salt;

        bool operator==(const KDF&) const = default;
    };

    std::string format;
    std::int64_t version = 0;
    KDF kdf;
    std::string cipher;

    /// The current format, version and cipher, with PBKDF2-HMAC-SHA256 over this salt and count.
    static BackupHeader make(Bytes salt, std::int64_t iterations);

    /// The six fields as UTF-8 text lines joined by "\n" (none after the last): format, version,
    /// KDF name, iterations, the salt in standard Base64, cipher.
    Bytes authenticatedData() const;

    bool operator==(const BackupHeader&) const = default;
};

} // namespace zemlar
