// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Result.hpp"

#include <array>
#include <cstddef>
#include <optional>
#include <span>

namespace zemlar::Crypto {

enum class Digest { sha1, sha256, sha512 };

/// The largest MAC any Digest gives (SHA-512).
constexpr std::size_t maximumMACLength = 64;

struct MAC {
    std::array<std::uint8_t, maximumMACLength> bytes{};
    std::size_t length = 0;

    std::span<const std::uint8_t> view() const { return {bytes.data(), length}; }
    ~MAC();
};

/// HMAC of `message` keyed with `key` as it is (any length), without touching the heap.
MAC hmac(Digest digest, std::span<const std::uint8_t> key, std::span<const std::uint8_t> message);

/// Overwrites the bytes with zeros in a way the optimiser keeps.
void wipe(std::span<std::uint8_t> bytes);

/// Bytes that are wiped when they go out of scope: keys, passphrases, decrypted documents.
class WipedBytes {
public:
    WipedBytes() = default;
    explicit WipedBytes(Bytes bytes) : bytes_(std::move(bytes)) {}
    WipedBytes(const WipedBytes&) = delete;
    WipedBytes& operator=(const WipedBytes&) = delete;
    ~WipedBytes() { wipe(bytes_); }

    Bytes& bytes() { return bytes_; }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

/// AES-256-GCM with a 12-byte nonce and a 16-byte tag.
namespace AESGCM {

inline constexpr std::size_t keyLength = 32;
inline constexpr std::size_t nonceLength = 12;
inline constexpr std::size_t tagLength = 16;

/// The combined form: nonce, then the ciphertext (as long as the plaintext), then the tag.
/// Nothing when the key or nonce has the wrong length or the cipher fails.
std::optional<Bytes> seal(std::span<const std::uint8_t> key, std::span<const std::uint8_t> nonce,
                          std::span<const std::uint8_t> plaintext,
                          std::span<const std::uint8_t> authenticatedData);

/// The plaintext of a combined nonce | ciphertext | tag; nothing when the key has the wrong
/// length, the box is too short for a nonce and a tag, or the tag does not verify (no
/// plaintext is ever returned unverified).
std::optional<Bytes> open(std::span<const std::uint8_t> key, std::span<const std::uint8_t> combined,
                          std::span<const std::uint8_t> authenticatedData);

} // namespace AESGCM

/// PBKDF2 (RFC 8018) with HMAC-SHA256. Nothing when the library refuses (no iterations, an
/// output length of 0).
std::optional<Bytes> pbkdf2SHA256(std::span<const std::uint8_t> password,
                                  std::span<const std::uint8_t> salt, std::uint64_t iterations,
                                  std::size_t outputLength);

} // namespace zemlar::Crypto
