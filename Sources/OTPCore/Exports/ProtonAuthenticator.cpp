// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProtonAuthenticator.hpp"

#include "ExportCrypto.hpp"
#include "ExportDocument.hpp"
#include "ExportLink.hpp"
#include "OTPCore/Account.hpp"
#include "OTPCore/Crypto.hpp"

namespace zemlar::ExternalExports::ProtonAuthenticator {
namespace {

using namespace ExportDocuments;

constexpr std::string_view authenticatedData = "proton.authenticator.export.v1";
constexpr std::uint64_t passes = 2;
constexpr std::uint64_t memoryBytes = 19456 * 1024;

bool isPlain(const JSON& document) {
    const auto entries = document.find("entries");
    return document.contains("version") && entries != document.end() && entries->is_array() &&
           (entries->empty() ||
            (entries->front().is_object() && entries->front().contains("content")));
}

bool isEncrypted(const JSON& document) {
    return document.contains("version") && JSONCoding::string(document, "salt") &&
           JSONCoding::string(document, "content");
}

ImportBatch plainBatch(const JSON& document) {
    ImportBatch batch;
    for (const JSON& entry : array(document, "entries")) {
        const auto content = entry.is_object() ? entry.find("content") : entry.end();
        if (content == entry.end() || !content->is_object()) {
            batch.skipped.push_back({"", ImportSkipReason::invalid});
            continue;
        }
        const std::string name = text(*content, "name");
        auto account = ExportLinks::fields(text(*content, "uri"));
        if (!account) {
            batch.skipped.push_back({name, ImportSkipReason::invalid});
            continue;
        }
        if (account->issuer.empty() && account->name.empty()) {
            account->name = name;
        }
        ExportedAccounts::add(batch, *account);
    }
    return batch;
}

Result<ImportBatch, ExportFailure> readEncrypted(const JSON& document, std::string_view password) {
    if (password.empty()) {
        return fail(ExportFailure::passwordNeeded);
    }
    const auto salt = base64(document, "salt");
    const auto content = base64(document, "content");
    if (!salt || !content) {
        return fail(ExportFailure::damaged);
    }
    auto derived = argon2id(password, *salt, passes, memoryBytes, 1);
    if (!derived) {
        return fail(derived.error());
    }
    const Crypto::WipedBytes key(std::move(*derived));
    auto opened =
        Crypto::AESGCM::open(key.value(), *content, ExportCrypto::bytes(authenticatedData));
    if (!opened) {
        return fail(ExportFailure::wrongPassword);
    }
    const Crypto::WipedBytes plaintext(std::move(*opened));
    const auto inner = object(std::span<const std::uint8_t>(plaintext.value()));
    if (!inner || !isPlain(inner->value)) {
        return fail(ExportFailure::damaged);
    }
    return plainBatch(inner->value);
}

} // namespace

bool recognises(std::string_view content) {
    const auto document = object(content);
    return document && (isPlain(document->value) || isEncrypted(document->value));
}

Result<ImportBatch, ExportFailure> read(std::string_view content, std::string_view password) {
    const auto document = object(content);
    if (!document) {
        return fail(ExportFailure::damaged);
    }
    if (isPlain(document->value)) {
        return plainBatch(document->value);
    }
    return readEncrypted(document->value, password);
}

} // namespace zemlar::ExternalExports::ProtonAuthenticator
