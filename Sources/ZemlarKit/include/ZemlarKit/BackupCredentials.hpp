// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/JSONCoding.hpp>
#include <OTPCore/Result.hpp>
#include <cstdint>
#include <optional>
#include <span>

namespace zemlar {

/// What is kept in place of the backup passphrase: the derived key, its salt and the PBKDF2
/// iteration count. Key and salt are wiped when the value dies.
struct BackupCredentials {
    Bytes key;
    Bytes salt;
    std::int64_t iterations = 0;

    /// {"key": [byte values], "salt": [byte values], "iterations": integer}.
    JSONCoding::JSON toJSON() const;
    /// All three keys required; key and salt must be arrays of integers 0–255.
    static std::optional<BackupCredentials> fromJSON(const JSONCoding::JSON& object);

    /// The compact JSON text of toJSON; nothing when it cannot be written.
    std::optional<Bytes> encoded() const;
    static std::optional<BackupCredentials> decode(std::span<const std::uint8_t> bytes);

    BackupCredentials() = default;
    BackupCredentials(Bytes key, Bytes salt, std::int64_t iterations);
    BackupCredentials(const BackupCredentials&) = default;
    BackupCredentials(BackupCredentials&&) noexcept = default;
    BackupCredentials& operator=(const BackupCredentials&) = default;
    BackupCredentials& operator=(BackupCredentials&&) noexcept = default;
    ~BackupCredentials();

    bool operator==(const BackupCredentials&) const = default;
};

} // namespace zemlar
