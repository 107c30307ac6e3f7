// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Crypto.hpp"
#include "OTPCore/Result.hpp"

#include <cstdint>
#include <optional>
#include <span>

/// The password-based key derivations other apps' exports use, through OpenSSL's EVP_KDF.
namespace zemlar::KeyDerivation {

/// scrypt's cost parameters.
struct ScryptCost {
    std::uint64_t n;
    std::uint32_t r;
    std::uint32_t p;

    /// The memory the derivation takes: 128 · N · r · p bytes (nothing on overflow).
    std::optional<std::uint64_t> memoryBytes() const;
};

/// The most memory an scrypt derivation may take here.
inline constexpr std::uint64_t maximumScryptMemory = std::uint64_t{1} << 30;

/// The key, or nothing when the library refuses the parameters (N not a power of two, more
/// memory than maximumScryptMemory, an output length of 0).
std::optional<Bytes> scrypt(std::span<const std::uint8_t> password,
                            std::span<const std::uint8_t> salt, ScryptCost cost,
                            std::size_t outputLength);

/// PBKDF2 (RFC 8018) with HMAC over the digest; nothing when the library refuses.
std::optional<Bytes> pbkdf2(Crypto::Digest digest, std::span<const std::uint8_t> password,
                            std::span<const std::uint8_t> salt, std::uint64_t iterations,
                            std::size_t outputLength);

/// The SHA-256 hash of the bytes.
Bytes sha256(std::span<const std::uint8_t> bytes);

} // namespace zemlar::KeyDerivation
