// SPDX-License-Identifier: GPL-3.0-or-later
#include "EnteAuth.hpp"

#include "ExportCrypto.hpp"
#include "ExportDocument.hpp"
#include "ExportLink.hpp"
#include "OTPCore/Crypto.hpp"
#include "OTPCore/Unicode.hpp"

#include <vector>

namespace zemlar::ExternalExports::EnteAuth {
namespace {

using namespace ExportDocuments;

constexpr std::string_view displayItem = "codeDisplay=";

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> result;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.remove_suffix(1);
        }
        if (!line.empty()) {
            result.push_back(line);
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return result;
}

bool isLink(std::string_view line) {
    return line.size() >= 10 && Unicode::lowercased(line.substr(0, 10)) == "otpauth://";
}

// The app files a code under any number of tags; the first one becomes its group.
std::string firstTag(std::string_view link) {
    const std::string display = ExportLinks::queryValue(link, "codeDisplay");
    auto parsed = JSONCoding::parse(ExportCrypto::bytes(display));
    if (!parsed || !parsed->is_object()) {
        return {};
    }
    const JSON& tags = array(*parsed, "tags");
    return !tags.empty() && tags.front().is_string() ? tags.front().get<std::string>()
                                                     : std::string{};
}

ImportBatch textBatch(std::string_view text) {
    ImportBatch batch;
    for (const std::string_view line : lines(text)) {
        auto account = isLink(line) ? ExportLinks::fields(line, ExportLinks::QueryEncoding::form)
                                    : std::nullopt;
        if (!account) {
            batch.skipped.push_back({"", ImportSkipReason::unrecognized});
            continue;
        }
        account->group = firstTag(line);
        ExportedAccounts::add(batch, *account);
    }
    return batch;
}

bool isText(std::string_view content) {
    const auto all = lines(content);
    return !all.empty() && std::ranges::all_of(all, isLink) &&
           std::ranges::any_of(all, [](std::string_view line) {
               return line.find(displayItem) != std::string_view::npos;
           });
}

bool isEncrypted(const JSON& document) {
    const auto parameters = document.find("kdfParams");
    return parameters != document.end() && parameters->is_object() &&
           document.contains("encryptedData") && document.contains("encryptionNonce");
}

Result<ImportBatch, ExportFailure> readEncrypted(const JSON& document, std::string_view password) {
    if (password.empty()) {
        return fail(ExportFailure::passwordNeeded);
    }
    const JSON& parameters = document.at("kdfParams");
    const auto memory = count(parameters, "memLimit");
    const auto passes = count(parameters, "opsLimit");
    const auto salt = base64(parameters, "salt");
    const auto header = base64(document, "encryptionNonce");
    const auto data = base64(document, "encryptedData");
    if (!memory || !passes || !salt || !header || !data) {
        return fail(ExportFailure::damaged);
    }
    auto derived = argon2id(password, *salt, *passes, *memory, 1);
    if (!derived) {
        return fail(derived.error());
    }
    const Crypto::WipedBytes key(std::move(*derived));
    auto opened = ExportCrypto::secretStreamOpen(key.value(), *header, *data);
    if (!opened) {
        return fail(ExportFailure::wrongPassword);
    }
    const Crypto::WipedBytes plaintext(std::move(*opened));
    return textBatch(
        std::string_view(reinterpret_cast<const char*>(plaintext->data()), plaintext->size()));
}

} // namespace

bool recognises(std::string_view content) {
    const auto document = object(content);
    return document ? isEncrypted(document->value) : isText(content);
}

Result<ImportBatch, ExportFailure> read(std::string_view content, std::string_view password) {
    const auto document = object(content);
    if (!document) {
        return textBatch(content);
    }
    if (!isEncrypted(document->value)) {
        return fail(ExportFailure::damaged);
    }
    return readEncrypted(document->value, password);
}

} // namespace zemlar::ExternalExports::EnteAuth
