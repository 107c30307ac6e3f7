// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/BackupError.hpp"
#include "OTPCore/BackupHeader.hpp"
#include "OTPCore/BackupPayload.hpp"
#include "OTPCore/Result.hpp"

#include <cstddef>
#include <span>

/// The backup file: a JSON envelope {"cipher", "format", "kdf": {"iterations", "name", "salt"},
/// "sealed", "version"} whose "sealed" member is the Base64 of nonce | ciphertext | tag, the
/// AES-256-GCM box of the JSON payload with the header's authenticatedData() as additional
/// data. Pure: the key and the nonce come in as arguments. Nothing is thrown.
namespace zemlar::BackupCodec {

inline constexpr std::size_t nonceLength = 12;

/// The envelope bytes (pretty-printed, keys sorted). invalidKey for a key other than 32 bytes
/// or a nonce other than 12 bytes, the header's own error when it is not acceptable,
/// encodingFailed when the payload cannot be written or sealed. The nonce must be fresh for
/// every call.
Result<Bytes, BackupError> seal(const BackupPayload& payload, std::span<const std::uint8_t> key,
                                const BackupHeader& header, std::span<const std::uint8_t> nonce);

/// The payload of an envelope sealed under `key` (32 bytes, checked before the file is read).
Result<BackupPayload, BackupError> open(std::span<const std::uint8_t> data,
                                        std::span<const std::uint8_t> key);

/// The checked header, without decrypting: a format and version probe first (so a later
/// version is recognised even when its other members changed), then the whole envelope.
Result<BackupHeader, BackupError> header(std::span<const std::uint8_t> data);

} // namespace zemlar::BackupCodec
