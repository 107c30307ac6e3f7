// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace zemlar {

/// Why a backup or inbox file could not be written, read or opened.
class BackupError {
public:
    enum class Kind {
        unsupportedVersion,
        malformed,
        unsupportedFormat,
        unsupportedKDF,
        unsupportedCipher,
        invalidKey,
        authenticationFailed,
        encodingFailed,
    };

    /// The envelope or the payload has a version other than 1.
    static BackupError unsupportedVersion(std::int64_t version) {
        return BackupError(Kind::unsupportedVersion, version);
    }
    /// Not an envelope, or the decrypted bytes are not a payload.
    static BackupError malformed() { return BackupError(Kind::malformed); }
    static BackupError unsupportedFormat() { return BackupError(Kind::unsupportedFormat); }
    static BackupError unsupportedKDF() { return BackupError(Kind::unsupportedKDF); }
    static BackupError unsupportedCipher() { return BackupError(Kind::unsupportedCipher); }
    /// A key that is not 32 bytes or a nonce that is not 12 bytes.
    static BackupError invalidKey() { return BackupError(Kind::invalidKey); }
    /// The sealed box is too short or does not verify under the key.
    static BackupError authenticationFailed() { return BackupError(Kind::authenticationFailed); }
    static BackupError encodingFailed() { return BackupError(Kind::encodingFailed); }

    Kind kind() const { return kind_; }
    /// The version read, for unsupportedVersion; 0 otherwise.
    std::int64_t version() const { return version_; }
    std::string describe() const;

    bool operator==(const BackupError&) const = default;

private:
    explicit BackupError(Kind kind, std::int64_t version = 0) : kind_(kind), version_(version) {}

    Kind kind_;
    std::int64_t version_;
};

} // namespace zemlar
