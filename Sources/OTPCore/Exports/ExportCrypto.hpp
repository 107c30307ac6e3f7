// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Result.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

/// The primitives other apps' encrypted exports are built from, over OpenSSL, libsodium and
/// libargon2. Every function gives nothing when the library refuses or a check fails; no
/// plaintext is returned unverified.
namespace zemlar::ExportCrypto {

/// The bytes of a text, as the key derivations take passwords.
std::span<const std::uint8_t> bytes(std::string_view text);

std::optional<Bytes> sha256(std::span<const std::uint8_t> message);

/// HKDF-Expand (RFC 5869) with SHA-256, without the extract step.
std::optional<Bytes> hkdfExpandSHA256(std::span<const std::uint8_t> key, std::string_view info,
                                      std::size_t outputLength);

/// AES-256-CBC with PKCS#7 padding. It does not authenticate: check a MAC first.
std::optional<Bytes> aesCBCDecrypt(std::span<const std::uint8_t> key,
                                   std::span<const std::uint8_t> iv,
                                   std::span<const std::uint8_t> ciphertext);

struct Argon2Costs {
    std::uint32_t passes;
    std::uint32_t memoryKiB;
    std::uint32_t lanes;
};

/// Argon2id version 1.3.
std::optional<Bytes> argon2id(std::span<const std::uint8_t> password,
                              std::span<const std::uint8_t> salt, Argon2Costs costs,
                              std::size_t outputLength);

inline constexpr std::size_t secretStreamHeaderLength = 24;

/// The one message of an XChaCha20-Poly1305 secret stream with the given header, tagged as an
/// ordinary or a final message.
std::optional<Bytes> secretStreamOpen(std::span<const std::uint8_t> key,
                                      std::span<const std::uint8_t> header,
                                      std::span<const std::uint8_t> message);

} // namespace zemlar::ExportCrypto
