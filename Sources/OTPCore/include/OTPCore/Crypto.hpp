// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Result.hpp"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>

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

/// HMAC of `message` keyed with `key` as it is, without touching the heap. An empty MAC when
/// the library refuses (a key longer than INT_MAX bytes, a provider that rejects short keys).
MAC hmac(Digest digest, std::span<const std::uint8_t> key, std::span<const std::uint8_t> message);

/// Overwrites the bytes with zeros in a way the optimiser keeps.
void wipe(std::span<std::uint8_t> bytes);

/// Overwrites what a contiguous buffer holds (Bytes, std::string, QByteArray, QString and the
/// like). A buffer that shares its data detaches first, so only its last owner really wipes.
template <class Buffer>
requires requires(Buffer& buffer) {
    buffer.data();
    buffer.size();
}
void wipe(Buffer& buffer) {
    if (buffer.size() > 0) {
        wipe(std::span(reinterpret_cast<std::uint8_t*>(buffer.data()),
                       static_cast<std::size_t>(buffer.size()) * sizeof(*buffer.data())));
    }
}

/// Bytes or text that must be wiped when they go out of scope: keys, passphrases, codes,
/// decrypted or parsed documents.
template <class Buffer> class Wiped {
public:
    Wiped() = default;
    /// Copies, then wipes the source: a moved-from string keeps its characters in its own
    /// short-string storage, out of reach of any later wipe.
    explicit Wiped(Buffer&& value) : value_(value) { wipe(value); }
    Wiped(const Wiped&) = delete;
    Wiped& operator=(const Wiped&) = delete;
    ~Wiped() { wipe(value_); }

    Buffer& value() { return value_; }
    const Buffer& value() const { return value_; }
    Buffer* operator->() { return &value_; }
    const Buffer* operator->() const { return &value_; }

private:
    Buffer value_;
};

using WipedBytes = Wiped<Bytes>;
using WipedText = Wiped<std::string>;

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

/// PBKDF2 (RFC 8018) with the HMAC of `digest`. Nothing when the library refuses (no
/// iterations, an output length of 0).
std::optional<Bytes> pbkdf2(Digest digest, std::span<const std::uint8_t> password,
                            std::span<const std::uint8_t> salt, std::uint64_t iterations,
                            std::size_t outputLength);

/// PBKDF2 with HMAC-SHA256.
std::optional<Bytes> pbkdf2SHA256(std::span<const std::uint8_t> password,
                                  std::span<const std::uint8_t> salt, std::uint64_t iterations,
                                  std::size_t outputLength);

} // namespace zemlar::Crypto
