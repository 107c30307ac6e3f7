// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportReading.hpp"
#include "OTPCore/Base32.hpp"
#include "OTPCore/Crypto.hpp"
#include "Readers.hpp"

// {"tokenOrder": [...], "tokens": [...]}; a token's secret is the raw key as signed bytes.
namespace zemlar::ExternalExports::FreeOTPPlus {
namespace {

using namespace ExportReading;

constexpr std::string_view steamIssuer = "Steam";

/// The key of a list of numbers from -128 to 255; nothing for any other list.
std::optional<Bytes> secretBytes(const JSON& token) {
    const JSON* list = member(token, "secret");
    if (list == nullptr || !list->is_array()) {
        return std::nullopt;
    }
    Bytes secret;
    for (const auto& value : *list) {
        if (!value.is_number_integer() || value.get<std::int64_t>() < -128 ||
            value.get<std::int64_t>() > 255) {
            Crypto::wipe(secret);
            return std::nullopt;
        }
        secret.push_back(static_cast<std::uint8_t>(value.get<std::int64_t>()));
    }
    return secret;
}

/// The first of the texts that is not empty.
std::string firstText(const JSON& token, std::initializer_list<std::string_view> keys) {
    for (const auto key : keys) {
        if (auto value = text(token, key); !value.empty()) {
            return value;
        }
    }
    return {};
}

std::optional<ExportedAccount> account(const JSON& token) {
    auto secret = secretBytes(token);
    if (!secret) {
        return std::nullopt;
    }
    const Crypto::WipedBytes key(std::move(*secret));
    ExportedAccount account;
    account.type = text(token, "type");
    // The user's own edits first, then the link's issuer parameter, then its label prefix.
    account.issuer = firstText(token, {"issuerAlt", "issuerInt", "issuerExt"});
    account.name = firstText(token, {"labelAlt", "label"});
    if (account.issuer == steamIssuer) {
        account.type = "steam";
    }
    account.secret = Base32::encode(key.value());
    account.algorithm = text(token, "algo");
    account.digits = text(token, "digits");
    account.period = text(token, "period");
    return account;
}

} // namespace

bool recognises(std::string_view content) {
    return isJSONWhere(content, [](const JSON& document) {
        return hasMember(document, "tokens", JSON::value_t::array) &&
               member(document, "tokenOrder") != nullptr;
    });
}

Outcome read(std::string_view content, std::string_view) {
    return readJSON(
        content, [](const JSON& document) { return accounts(array(document, "tokens"), account); });
}

} // namespace zemlar::ExternalExports::FreeOTPPlus
