// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/VaultContents.hpp"

#include <OTPCore/Base64.hpp>
#include <OTPCore/Crypto.hpp>
#include <OTPCore/JSONCoding.hpp>
#include <array>

namespace zemlar {
namespace {

using JSON = JSONCoding::JSON;

constexpr const char* remoteDesktopTokenKey = "remoteDesktopToken";

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

VaultContents::~VaultContents() {
    for (auto& [key, secret] : secrets) {
        Crypto::wipe(secret);
    }
    if (recovery) {
        for (auto& [key, codes] : *recovery) {
            for (std::string& code : codes) {
                Crypto::wipe(code);
            }
        }
    }
    if (remoteDesktopToken) {
        Crypto::wipe(*remoteDesktopToken);
    }
}

Result<Bytes, SecretStoreError> VaultContents::encoded() const {
    JSONCoding::WipedJSON wiped{JSON::object()};
    JSON& document = wiped.value;
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
    if (remoteDesktopToken) {
        document[remoteDesktopTokenKey] = *remoteDesktopToken;
    }
    auto bytes = JSONCoding::serialize(document, false);
    if (!bytes) {
        return fail(SecretStoreError::invalidData());
    }
    return std::move(*bytes);
}

Result<VaultContents, SecretStoreError> VaultContents::decode(std::span<const std::uint8_t> bytes) {
    auto parsed = JSONCoding::parse(bytes);
    if (!parsed) {
        return fail(SecretStoreError::invalidData());
    }
    const JSONCoding::WipedJSON wiped{std::move(*parsed)};
    const JSON* document = &wiped.value;
    if (!document->is_object()) {
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
    if (!JSONCoding::isAbsent(*document, remoteDesktopTokenKey)) {
        const JSON& token = document->at(remoteDesktopTokenKey);
        if (!token.is_string()) {
            return fail(SecretStoreError::invalidData());
        }
        contents.remoteDesktopToken = token.get<std::string>();
    }
    return contents;
}

} // namespace zemlar
