// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/BackupCredentials.hpp"

#include <OTPCore/Crypto.hpp>

namespace zemlar {
namespace {

using JSON = JSONCoding::JSON;

JSON byteArray(const Bytes& bytes) {
    JSON array = JSON::array();
    for (const std::uint8_t byte : bytes) {
        array.push_back(byte);
    }
    return array;
}

std::optional<Bytes> bytesOf(const JSON& object, const char* key) {
    if (!object.is_object()) {
        return std::nullopt;
    }
    const auto found = object.find(key);
    if (found == object.end() || !found->is_array()) {
        return std::nullopt;
    }
    Bytes bytes;
    bytes.reserve(found->size());
    for (const JSON& element : *found) {
        if (!element.is_number_integer()) {
            return std::nullopt;
        }
        const auto value = element.is_number_unsigned()
                               ? static_cast<std::int64_t>(
                                     std::min<std::uint64_t>(element.get<std::uint64_t>(), 256))
                               : element.get<std::int64_t>();
        if (value < 0 || value > 255) {
            Crypto::wipe(bytes);
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

} // namespace

BackupCredentials::BackupCredentials(Bytes key, Bytes salt, std::int64_t iterations)
    : key(std::move(key)), salt(std::move(salt)), iterations(iterations) {}

BackupCredentials::~BackupCredentials() {
    Crypto::wipe(key);
    Crypto::wipe(salt);
}

JSON BackupCredentials::toJSON() const {
    return JSON{{"iterations", iterations}, {"key", byteArray(key)}, {"salt", byteArray(salt)}};
}

std::optional<BackupCredentials> BackupCredentials::fromJSON(const JSON& object) {
    auto keyBytes = bytesOf(object, "key");
    auto saltBytes = bytesOf(object, "salt");
    const auto iterationCount = JSONCoding::integer(object, "iterations");
    if (!keyBytes || !saltBytes || !iterationCount) {
        if (keyBytes) {
            Crypto::wipe(*keyBytes);
        }
        return std::nullopt;
    }
    return BackupCredentials(std::move(*keyBytes), std::move(*saltBytes), *iterationCount);
}

std::optional<Bytes> BackupCredentials::encoded() const {
    const JSONCoding::WipedJSON document{toJSON()};
    return JSONCoding::serialize(document.value, false);
}

std::optional<BackupCredentials> BackupCredentials::decode(std::span<const std::uint8_t> bytes) {
    auto parsed = JSONCoding::parse(bytes);
    if (!parsed) {
        return std::nullopt;
    }
    const JSONCoding::WipedJSON document{std::move(*parsed)};
    return fromJSON(document.value);
}

} // namespace zemlar
