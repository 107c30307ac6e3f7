// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bitwarden.hpp"
#include "ExportCrypto.hpp"
#include "ExportDocument.hpp"
#include "OTPCore/Base64.hpp"

#include <limits>
#include <map>
#include <openssl/crypto.h>

namespace zemlar::ExternalExports::Bitwarden {
namespace {

using namespace ExportDocuments;

constexpr std::size_t ivLength = 16;
constexpr std::size_t macLength = 32;

bool flag(const JSON& document, std::string_view key) {
    return JSONCoding::boolean(document, key).value_or(false);
}

ImportBatch plainBatch(const JSON& document) {
    std::map<std::string, std::string> folders;
    for (const JSON& folder : array(document, "folders")) {
        if (folder.is_object()) {
            folders[text(folder, "id")] = text(folder, "name");
        }
    }
    ImportBatch batch;
    for (const JSON& item : array(document, "items")) {
        const auto login = item.is_object() ? item.find("login") : item.end();
        if (login == item.end() || !login->is_object()) {
            continue;
        }
        const auto folder = folders.find(text(item, "folderId"));
        add(batch, {text(item, "name"), text(*login, "username"), text(*login, "totp"),
                    folder == folders.end() ? std::string{} : folder->second});
    }
    return batch;
}

Result<Bytes, ExportFailure> masterKey(const JSON& document, std::string_view password) {
    const std::string salt = text(document, "salt");
    const auto iterations = count(document, "kdfIterations");
    if (salt.empty() || !iterations) {
        return fail(ExportFailure::damaged);
    }
    const auto kdf = count(document, "kdfType");
    if (kdf == 0U) {
        return pbkdf2(Crypto::Digest::sha256, password, ExportCrypto::bytes(salt), *iterations);
    }
    const auto memoryMiB = count(document, "kdfMemory");
    const auto lanes = count(document, "kdfParallelism");
    const auto hashedSalt = ExportCrypto::sha256(ExportCrypto::bytes(salt));
    if (kdf != 1U || !memoryMiB || !lanes || !hashedSalt) {
        return fail(ExportFailure::damaged);
    }
    if (*memoryMiB > std::numeric_limits<std::uint64_t>::max() >> 20) {
        return fail(ExportFailure::tooCostly);
    }
    return argon2id(password, *hashedSalt, *iterations, *memoryMiB << 20, *lanes);
}

// A "2.iv|ciphertext|mac" string: AES-256-CBC under HMAC-SHA256 of iv and ciphertext.
std::optional<Bytes> openEncString(std::string_view encString, std::span<const std::uint8_t> key,
                                   std::span<const std::uint8_t> macKey) {
    const std::size_t first = encString.find('|');
    const std::size_t second = encString.find('|', first + 1);
    if (!encString.starts_with("2.") || first == std::string_view::npos ||
        second == std::string_view::npos) {
        return std::nullopt;
    }
    const auto iv = Base64::decode(encString.substr(2, first - 2));
    auto message = Base64::decode(encString.substr(first + 1, second - first - 1));
    const auto mac = Base64::decode(encString.substr(second + 1));
    if (!iv || !message || !mac || iv->size() != ivLength || mac->size() != macLength) {
        return std::nullopt;
    }
    const auto ciphertextLength = message->size();
    message->insert(message->begin(), iv->begin(), iv->end());
    const auto expected = Crypto::hmac(Crypto::Digest::sha256, macKey, *message);
    if (expected.length != macLength ||
        CRYPTO_memcmp(expected.bytes.data(), mac->data(), macLength) != 0) {
        return std::nullopt;
    }
    return ExportCrypto::aesCBCDecrypt(key, *iv, std::span(*message).last(ciphertextLength));
}

Result<ImportBatch, ExportFailure> readProtected(const JSON& document, std::string_view password) {
    if (password.empty()) {
        return fail(ExportFailure::passwordNeeded);
    }
    auto derived = masterKey(document, password);
    if (!derived) {
        return fail(derived.error());
    }
    const Crypto::WipedBytes master(std::move(*derived));
    auto encryption = ExportCrypto::hkdfExpandSHA256(master.value(), "enc", 32);
    auto authentication = ExportCrypto::hkdfExpandSHA256(master.value(), "mac", 32);
    if (!encryption || !authentication) {
        return fail(ExportFailure::damaged);
    }
    const Crypto::WipedBytes key(std::move(*encryption));
    const Crypto::WipedBytes macKey(std::move(*authentication));
    auto check =
        openEncString(text(document, "encKeyValidation_DO_NOT_EDIT"), key.value(), macKey.value());
    if (!check) {
        return fail(ExportFailure::wrongPassword);
    }
    Crypto::wipe(*check);
    auto data = openEncString(text(document, "data"), key.value(), macKey.value());
    if (!data) {
        return fail(ExportFailure::damaged);
    }
    const Crypto::WipedBytes plaintext(std::move(*data));
    const auto inner = object(std::span<const std::uint8_t>(plaintext.value()));
    if (!inner) {
        return fail(ExportFailure::damaged);
    }
    return plainBatch(inner->value);
}

} // namespace

bool recognisesJSON(std::string_view content) {
    const auto document = object(content);
    if (!document) {
        return false;
    }
    const JSON& value = document->value;
    return JSONCoding::boolean(value, "encrypted") &&
           (value.contains("items") || flag(value, "passwordProtected"));
}

Result<ImportBatch, ExportFailure> readJSON(std::string_view content, std::string_view password) {
    const auto document = object(content);
    if (!document) {
        return fail(ExportFailure::damaged);
    }
    const JSON& value = document->value;
    if (!flag(value, "encrypted")) {
        return plainBatch(value);
    }
    if (flag(value, "passwordProtected")) {
        return readProtected(value, password);
    }
    return fail(ExportFailure::restricted);
}

} // namespace zemlar::ExternalExports::Bitwarden
