// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportLink.hpp"

#include "../URIComponents.hpp"
#include "OTPCore/Crypto.hpp"
#include "OTPCore/OTPAuthURI.hpp"
#include "OTPCore/Unicode.hpp"

#include <algorithm>

namespace zemlar::ExportLinks {
namespace {

constexpr std::string_view steamScheme = "steam://";

bool startsCaseless(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           Unicode::lowercased(text.substr(0, prefix.size())) == prefix;
}

// The first value of the named query item, "" when absent or "null".
std::string itemValue(const URIComponents& components, std::string_view name) {
    if (!components.queryItems) {
        return {};
    }
    for (const URIQueryItem& item : *components.queryItems) {
        if (Unicode::lowercased(item.name) == name) {
            return item.value && *item.value != "null" ? *item.value : std::string{};
        }
    }
    return {};
}

std::optional<ExportedAccount> otpauthFields(std::string_view link, QueryEncoding encoding) {
    const auto components = URIComponents::read(link);
    if (!components || !components->scheme ||
        Unicode::lowercased(*components->scheme) != "otpauth") {
        return std::nullopt;
    }
    ExportedAccount account;
    account.type = components->host.value_or("");
    auto label = OTPAuthURI::parseLabel(components->path);
    account.name = std::move(label.name);
    account.issuer = Unicode::trimmedBlanks(itemValue(*components, "issuer"));
    if (encoding == QueryEncoding::form) {
        std::ranges::replace(account.issuer, '+', ' ');
    }
    if (account.issuer.empty()) {
        account.issuer = label.issuer.value_or("");
    }
    account.secret = itemValue(*components, "secret");
    account.algorithm = itemValue(*components, "algorithm");
    account.digits = itemValue(*components, "digits");
    account.period = itemValue(*components, "period");
    return account;
}

} // namespace

std::optional<ExportedAccount> fields(std::string_view link, QueryEncoding encoding) {
    const Crypto::WipedText trimmed(Unicode::trimmed(link));
    if (startsCaseless(trimmed.value(), steamScheme)) {
        ExportedAccount account;
        account.type = "steam";
        account.secret = trimmed->substr(steamScheme.size());
        return account;
    }
    return otpauthFields(trimmed.value(), encoding);
}

std::string queryValue(std::string_view link, std::string_view name) {
    const auto components = URIComponents::read(link);
    return components ? itemValue(*components, Unicode::lowercased(name)) : std::string{};
}

} // namespace zemlar::ExportLinks
