// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Crypto.hpp"
#include "OTPCore/ExportFailure.hpp"
#include "OTPCore/JSONCoding.hpp"
#include "OTPCore/Result.hpp"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

/// Reading the JSON documents and key derivations of other apps' exports.
namespace zemlar::ExportDocuments {

using JSONCoding::JSON;
using Document = std::unique_ptr<JSONCoding::WipedJSON>;

/// The content as a JSON object, wiped when it is dropped; null for anything else.
Document object(std::string_view content);
Document object(std::span<const std::uint8_t> content);

/// The string under the key; "" when absent or not a string.
std::string text(const JSON& object, std::string_view key);

/// The array under the key; an empty one when absent or not an array.
const JSON& array(const JSON& object, std::string_view key);

/// The non-negative integer under the key, nothing otherwise.
std::optional<std::uint64_t> count(const JSON& object, std::string_view key);

/// The bytes of a Base64 member; nothing when absent or not Base64.
std::optional<Bytes> base64(const JSON& object, std::string_view key);

/// Argon2id of the password within the cost limit: tooCostly above it, damaged for costs the
/// algorithm refuses.
Result<Bytes, ExportFailure> argon2id(std::string_view password, std::span<const std::uint8_t> salt,
                                      std::uint64_t passes, std::uint64_t memoryBytes,
                                      std::uint64_t lanes);

/// PBKDF2 of the password within the cost limit: tooCostly above it, damaged for no iterations.
Result<Bytes, ExportFailure> pbkdf2(Crypto::Digest digest, std::string_view password,
                                    std::span<const std::uint8_t> salt, std::uint64_t iterations);

} // namespace zemlar::ExportDocuments
