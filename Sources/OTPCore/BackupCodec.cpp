// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/BackupCodec.hpp"

#include "OTPCore/BackupKDF.hpp"
#include "OTPCore/Base64.hpp"
#include "OTPCore/Crypto.hpp"
#include "OTPCore/JSONCoding.hpp"

#include <string>
#include <vector>

namespace zemlar::BackupCodec {
namespace {

using JSONCoding::JSON;

constexpr std::size_t keyLength = Crypto::AESGCM::keyLength;

struct Envelope {
    BackupHeader header;
    Bytes sealed;
};

const JSON* member(const JSON& object, std::string_view key) {
    if (!object.is_object()) {
        return nullptr;
    }
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

std::optional<BackupError> validate(const BackupHeader& header) {
    if (header.format != BackupHeader::currentFormat) {
        return BackupError::unsupportedFormat();
    }
    if (header.version != BackupHeader::currentVersion) {
        return BackupError::unsupportedVersion(header.version);
    }
    if (header.kdf.name != BackupKDF::name ||
        !BackupKDF::allowedIterations.contains(header.kdf.iterations) || header.kdf.salt.empty()) {
        return BackupError::unsupportedKDF();
    }
    if (header.cipher != BackupHeader::currentCipher) {
        return BackupError::unsupportedCipher();
    }
    return std::nullopt;
}

std::optional<Bytes> base64(const JSON& object, std::string_view key) {
    const auto text = JSONCoding::string(object, key);
    return text ? Base64::decode(*text) : std::nullopt;
}

std::optional<std::vector<std::string>> strings(const JSON& array) {
    if (!array.is_array()) {
        return std::nullopt;
    }
    std::vector<std::string> result;
    result.reserve(array.size());
    for (const JSON& element : array) {
        if (!element.is_string()) {
            return std::nullopt;
        }
        result.push_back(element.get<std::string>());
    }
    return result;
}

// An optional member: absent (or null) leaves `value` empty; present but unreadable is false.
template <class Value, class Read>
bool readOptional(const JSON& object, std::string_view key, Read read,
                  std::optional<Value>& value) {
    value.reset();
    if (JSONCoding::isAbsent(object, key)) {
        return true;
    }
    auto readValue = read(*member(object, key));
    if (!readValue) {
        return false;
    }
    value = std::move(*readValue);
    return true;
}

std::optional<UUID> uuidValue(const JSON& value) {
    return value.is_string() ? UUID::parse(value.get_ref<const std::string&>()) : std::nullopt;
}

std::optional<bool> booleanValue(const JSON& value) {
    return value.is_boolean() ? std::optional<bool>(value.get<bool>()) : std::nullopt;
}

Result<Envelope, BackupError> parseEnvelope(std::span<const std::uint8_t> data) {
    const auto document = JSONCoding::parse(data);
    if (!document) {
        return fail(BackupError::malformed());
    }
    auto format = JSONCoding::string(*document, "format");
    const auto version = JSONCoding::integer(*document, "version");
    if (!format || !version) {
        return fail(BackupError::malformed());
    }
    if (*format != BackupHeader::currentFormat) {
        return fail(BackupError::unsupportedFormat());
    }
    if (*version != BackupHeader::currentVersion) {
        return fail(BackupError::unsupportedVersion(*version));
    }
    const JSON* kdf = member(*document, "kdf");
    if (kdf == nullptr) {
        return fail(BackupError::malformed());
    }
    auto cipher = JSONCoding::string(*document, "cipher");
    auto kdfName = JSONCoding::string(*kdf, "name");
    const auto iterations = JSONCoding::integer(*kdf, "iterations");
    auto salt = base64(*kdf, "salt");
    auto sealed = base64(*document, "sealed");
    if (!cipher || !kdfName || !iterations || !salt || !sealed) {
        return fail(BackupError::malformed());
    }
    Envelope envelope{
        .header = BackupHeader{.format = std::move(*format),
                               .version = *version,
                               .kdf = BackupHeader::KDF{.name = std::move(*kdfName),
                                                        .iterations = *iterations,
                                                        .salt = std::move(*salt)},
                               .cipher = std::move(*cipher)},
        .sealed = std::move(*sealed),
    };
    if (const auto problem = validate(envelope.header)) {
        return fail(*problem);
    }
    return envelope;
}

std::optional<JSON> encodeAccount(const BackupAccount& account) {
    const auto createdAt = account.createdAt.iso8601();
    if (!createdAt) {
        return std::nullopt;
    }
    JSON object = JSON::object();
    object["createdAt"] = *createdAt;
    object["domains"] = account.domains.value_or(std::vector<std::string>());
    if (account.groupID) {
        object["groupID"] = account.groupID->uuidString();
    }
    object["id"] = account.id.uuidString();
    object["issuer"] = account.issuer;
    object["name"] = account.name;
    object["parameters"] = JSONCoding::encode(account.parameters);
    if (account.pressesReturn.value_or(false)) {
        object["pressesReturn"] = true;
    }
    if (account.recoveryCodes && !account.recoveryCodes->empty()) {
        object["recoveryCodes"] = *account.recoveryCodes;
    }
    object["secret"] = Base64::encode(account.secret);
    return object;
}

std::optional<JSON> encodePayload(const BackupPayload& payload) {
    const auto exportedAt = payload.exportedAt.iso8601();
    if (!exportedAt) {
        return std::nullopt;
    }
    JSON accounts = JSON::array();
    for (const BackupAccount& account : payload.accounts) {
        auto object = encodeAccount(account);
        if (!object) {
            return std::nullopt;
        }
        accounts.push_back(std::move(*object));
    }
    JSON document = JSON::object();
    document["accounts"] = std::move(accounts);
    document["exportedAt"] = *exportedAt;
    if (payload.groups) {
        JSON groups = JSON::array();
        for (const AccountGroup& group : *payload.groups) {
            groups.push_back(JSON{{"id", group.id.uuidString()}, {"name", group.name}});
        }
        document["groups"] = std::move(groups);
    }
    document["version"] = payload.version;
    return document;
}

std::optional<BackupAccount> decodeAccount(const JSON& object) {
    const auto id = JSONCoding::uuid(object, "id");
    auto issuer = JSONCoding::string(object, "issuer");
    auto name = JSONCoding::string(object, "name");
    const auto parameters = JSONCoding::parametersMember(object, "parameters");
    auto secret = base64(object, "secret");
    const auto createdAt = JSONCoding::date(object, "createdAt");
    std::optional<std::vector<std::string>> domains;
    std::optional<UUID> groupID;
    std::optional<bool> pressesReturn;
    std::optional<std::vector<std::string>> recoveryCodes;
    const bool optionalsRead = readOptional(object, "domains", strings, domains) &&
                               readOptional(object, "groupID", uuidValue, groupID) &&
                               readOptional(object, "pressesReturn", booleanValue, pressesReturn) &&
                               readOptional(object, "recoveryCodes", strings, recoveryCodes);
    if (!id || !issuer || !name || !parameters || !secret || !createdAt || !optionalsRead) {
        if (secret) {
            Crypto::wipe(*secret);
        }
        return std::nullopt;
    }
    return BackupAccount{.id = *id,
                         .issuer = std::move(*issuer),
                         .name = std::move(*name),
                         .parameters = *parameters,
                         .secret = std::move(*secret),
                         .createdAt = *createdAt,
                         .domains = std::move(domains),
                         .groupID = groupID,
                         .pressesReturn = pressesReturn,
                         .recoveryCodes = std::move(recoveryCodes)};
}

std::optional<Groups> decodeGroups(const JSON& array) {
    if (!array.is_array()) {
        return std::nullopt;
    }
    Groups groups;
    groups.reserve(array.size());
    for (const JSON& item : array) {
        const auto id = JSONCoding::uuid(item, "id");
        auto name = JSONCoding::string(item, "name");
        if (!id || !name) {
            return std::nullopt;
        }
        groups.push_back(AccountGroup{.id = *id, .name = std::move(*name)});
    }
    return groups;
}

Result<BackupPayload, BackupError> decodePayload(const JSON& document) {
    const auto version = JSONCoding::integer(document, "version");
    if (!version) {
        return fail(BackupError::malformed());
    }
    if (*version != BackupPayload::currentVersion) {
        return fail(BackupError::unsupportedVersion(*version));
    }
    const auto exportedAt = JSONCoding::date(document, "exportedAt");
    const JSON* accountsArray = member(document, "accounts");
    std::optional<Groups> groups;
    if (!readOptional(document, "groups", decodeGroups, groups) || !exportedAt ||
        accountsArray == nullptr || !accountsArray->is_array()) {
        return fail(BackupError::malformed());
    }
    std::vector<BackupAccount> accounts;
    accounts.reserve(accountsArray->size());
    for (const JSON& object : *accountsArray) {
        auto account = decodeAccount(object);
        if (!account) {
            for (BackupAccount& decoded : accounts) {
                Crypto::wipe(decoded.secret);
            }
            return fail(BackupError::malformed());
        }
        accounts.push_back(std::move(*account));
    }
    return BackupPayload{.version = *version,
                         .exportedAt = *exportedAt,
                         .accounts = std::move(accounts),
                         .groups = std::move(groups)};
}

// The envelope is written by hand rather than through the JSON serializer, which would scan
// the long Base64 text for characters to escape: a checked header's texts are the fixed tags,
// and Base64 needs no escaping, so the output is the same JSON with its members sorted.
Bytes envelopeText(const BackupHeader& header, std::span<const std::uint8_t> sealed) {
    Bytes text;
    text.reserve(sealed.size() / 3 * 4 + header.kdf.salt.size() * 2 + 256);
    const auto put = [&text](std::string_view part) {
        text.insert(text.end(), part.begin(), part.end());
    };
    put("{\n  \"cipher\": \"");
    put(header.cipher);
    put("\",\n  \"format\": \"");
    put(header.format);
    put("\",\n  \"kdf\": {\n    \"iterations\": ");
    put(std::to_string(header.kdf.iterations));
    put(",\n    \"name\": \"");
    put(header.kdf.name);
    put("\",\n    \"salt\": \"");
    Base64::appendEncoded(header.kdf.salt, text);
    put("\"\n  },\n  \"sealed\": \"");
    Base64::appendEncoded(sealed, text);
    put("\",\n  \"version\": ");
    put(std::to_string(header.version));
    put("\n}\n");
    return text;
}

// Pretty-printed UTF-8 text; nothing when a string is not valid UTF-8.
std::optional<std::string> payloadText(const JSON& document) {
    try {
        return document.dump(2);
    } catch (const JSON::exception&) {
        return std::nullopt;
    }
}

} // namespace

Result<Bytes, BackupError> seal(const BackupPayload& payload, std::span<const std::uint8_t> key,
                                const BackupHeader& header, std::span<const std::uint8_t> nonce) {
    if (key.size() != keyLength || nonce.size() != nonceLength) {
        return fail(BackupError::invalidKey());
    }
    if (const auto problem = validate(header)) {
        return fail(*problem);
    }
    auto document = encodePayload(payload);
    if (!document) {
        return fail(BackupError::encodingFailed());
    }
    const JSONCoding::WipedJSON payloadJSON{std::move(*document)};
    auto plaintext = payloadText(payloadJSON.value);
    if (!plaintext) {
        return fail(BackupError::encodingFailed());
    }
    const auto sealed = Crypto::AESGCM::seal(
        key, nonce, {reinterpret_cast<const std::uint8_t*>(plaintext->data()), plaintext->size()},
        header.authenticatedData());
    Crypto::wipe(*plaintext);
    if (!sealed) {
        return fail(BackupError::encodingFailed());
    }
    return envelopeText(header, *sealed);
}

Result<BackupPayload, BackupError> open(std::span<const std::uint8_t> data,
                                        std::span<const std::uint8_t> key) {
    if (key.size() != keyLength) {
        return fail(BackupError::invalidKey());
    }
    const auto envelope = parseEnvelope(data);
    if (!envelope) {
        return fail(envelope.error());
    }
    // Too short for a nonce and a tag, or not authentic: the same answer.
    auto plaintext =
        Crypto::AESGCM::open(key, envelope->sealed, envelope->header.authenticatedData());
    if (!plaintext) {
        return fail(BackupError::authenticationFailed());
    }
    const Crypto::WipedBytes wipedPlaintext(std::move(*plaintext));
    auto document = JSONCoding::parse(wipedPlaintext.value());
    if (!document) {
        return fail(BackupError::malformed());
    }
    const JSONCoding::WipedJSON payloadJSON{std::move(*document)};
    return decodePayload(payloadJSON.value);
}

Result<BackupHeader, BackupError> header(std::span<const std::uint8_t> data) {
    auto envelope = parseEnvelope(data);
    if (!envelope) {
        return fail(envelope.error());
    }
    return std::move(envelope->header);
}

} // namespace zemlar::BackupCodec
