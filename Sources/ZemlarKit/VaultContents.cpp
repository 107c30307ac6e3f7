// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/VaultContents.hpp"

#include <OTPCore/Crypto.hpp>
#include <OTPCore/JSONCoding.hpp>
#include <array>

namespace zemlar {
namespace {

using JSON = JSONCoding::JSON;

constexpr std::string_view alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sextet(char symbol) {
    const auto position = alphabet.find(symbol);
    return position == std::string_view::npos ? -1 : static_cast<int>(position);
}

/// Fills `secrets` (owned by a VaultContents, which wipes it) from the "secrets" object.
bool decodeSecrets(const JSON& object, std::map<std::string, Bytes>& secrets) {
    if (!object.is_object()) {
        return false;
    }
    for (const auto& [key, value] : object.items()) {
        if (!value.is_string()) {
            return false;
        }
        auto bytes = Base64::decode(value.get_ref<const std::string&>());
        if (!bytes) {
            return false;
        }
        secrets.emplace(key, std::move(*bytes));
    }
    return true;
}

std::optional<RecoveryCodes> decodeRecovery(const JSON& object) {
    if (!object.is_object()) {
        return std::nullopt;
    }
    RecoveryCodes recovery;
    for (const auto& [key, value] : object.items()) {
        if (!value.is_array()) {
            return std::nullopt;
        }
        std::vector<std::string> codes;
        for (const JSON& code : value) {
            if (!code.is_string()) {
                return std::nullopt;
            }
            codes.push_back(code.get<std::string>());
        }
        recovery.emplace(key, std::move(codes));
    }
    return recovery;
}

} // namespace

namespace Base64 {

std::string encode(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t index = 0; index < bytes.size(); index += 3) {
        const std::size_t left = bytes.size() - index;
        std::uint32_t group = std::uint32_t{bytes[index]} << 16;
        if (left > 1) {
            group |= std::uint32_t{bytes[index + 1]} << 8;
        }
        if (left > 2) {
            group |= bytes[index + 2];
        }
        text.push_back(alphabet[(group >> 18) & 63]);
        text.push_back(alphabet[(group >> 12) & 63]);
        text.push_back(left > 1 ? alphabet[(group >> 6) & 63] : '=');
        text.push_back(left > 2 ? alphabet[group & 63] : '=');
    }
    return text;
}

std::optional<Bytes> decode(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    Bytes bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t index = 0; index < text.size(); index += 4) {
        const bool last = index + 4 == text.size();
        const std::size_t padding = !last                    ? 0
                                    : text[index + 2] == '=' ? 2
                                    : text[index + 3] == '=' ? 1
                                                             : 0;
        if (padding == 2 && text[index + 3] != '=') {
            return std::nullopt;
        }
        std::array<int, 4> values{};
        for (std::size_t offset = 0; offset < 4 - padding; ++offset) {
            values[offset] = sextet(text[index + offset]);
            if (values[offset] < 0) {
                Crypto::wipe(bytes);
                return std::nullopt;
            }
        }
        const std::uint32_t group = (std::uint32_t(values[0]) << 18) |
                                    (std::uint32_t(values[1]) << 12) |
                                    (std::uint32_t(values[2]) << 6) | std::uint32_t(values[3]);
        // Bits that padding leaves unused must be zero, so every byte string has one text.
        if ((padding == 1 && (group & 0xFF) != 0) || (padding == 2 && (group & 0xFFFF) != 0)) {
            Crypto::wipe(bytes);
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(group >> 16));
        if (padding < 2) {
            bytes.push_back(static_cast<std::uint8_t>(group >> 8));
        }
        if (padding < 1) {
            bytes.push_back(static_cast<std::uint8_t>(group));
        }
    }
    return bytes;
}

} // namespace Base64

VaultContents::~VaultContents() {
    for (auto& [key, secret] : secrets) {
        Crypto::wipe(secret);
    }
}

Result<Bytes, SecretStoreError> VaultContents::encoded() const {
    JSON document = JSON::object();
    document["version"] = version;
    JSON secretObject = JSON::object();
    for (const auto& [key, secret] : secrets) {
        secretObject[key] = Base64::encode(secret);
    }
    document["secrets"] = std::move(secretObject);
    if (backup) {
        document["backup"] = backup->toJSON();
    }
    if (recovery) {
        JSON recoveryObject = JSON::object();
        for (const auto& [key, codes] : *recovery) {
            recoveryObject[key] = codes;
        }
        document["recovery"] = std::move(recoveryObject);
    }
    auto bytes = JSONCoding::serialize(document, false);
    if (!bytes) {
        return fail(SecretStoreError::invalidData());
    }
    return std::move(*bytes);
}

Result<VaultContents, SecretStoreError> VaultContents::decode(std::span<const std::uint8_t> bytes) {
    const auto document = JSONCoding::parse(bytes);
    if (!document || !document->is_object()) {
        return fail(SecretStoreError::invalidData());
    }
    const auto version = JSONCoding::integer(*document, "version");
    if (version != currentVersion) {
        return fail(SecretStoreError::invalidData());
    }
    VaultContents contents;
    const auto secretsMember = document->find("secrets");
    if (secretsMember == document->end()) {
        return fail(SecretStoreError::invalidData());
    }
    if (!decodeSecrets(*secretsMember, contents.secrets)) {
        return fail(SecretStoreError::invalidData());
    }
    if (!JSONCoding::isAbsent(*document, "backup")) {
        contents.backup = BackupCredentials::fromJSON(document->at("backup"));
        if (!contents.backup) {
            return fail(SecretStoreError::invalidData());
        }
    }
    if (!JSONCoding::isAbsent(*document, "recovery")) {
        contents.recovery = decodeRecovery(document->at("recovery"));
        if (!contents.recovery) {
            return fail(SecretStoreError::invalidData());
        }
    }
    return contents;
}

} // namespace zemlar
