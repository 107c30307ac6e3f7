// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/ExportedAccount.hpp"

#include "../URIComponents.hpp"
#include "OTPCore/Account.hpp"
#include "OTPCore/Crypto.hpp"
#include "OTPCore/OTPAuthURI.hpp"
#include "OTPCore/Unicode.hpp"

namespace zemlar {

ExportedAccount::~ExportedAccount() {
    Crypto::wipe(secret);
}

namespace ExportedAccounts {
namespace {

constexpr std::string_view labelCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~!$'()*,;=@";

std::string encodedValue(std::string_view text) {
    return URIEncoding::percentEncoded(text, URIEncoding::queryValueCharacters());
}

void addQueryItem(std::string& link, std::string_view key, std::string_view value) {
    if (value.empty()) {
        return;
    }
    link += link.back() == '?' ? "" : "&";
    link += key;
    link += '=';
    link += encodedValue(value);
}

// The link an app would have exported for this account, written into room reserved up front so
// that no reallocation leaves a copy of the secret behind.
void writeLink(const ExportedAccount& account, std::string& text) {
    text.reserve(64 + 3 * (account.type.size() + 2 * account.issuer.size() + account.name.size() +
                           account.secret.size() + account.algorithm.size() +
                           account.digits.size() + account.period.size()));
    text = "otpauth://";
    text += URIEncoding::percentEncoded(Unicode::lowercased(account.type), labelCharacters);
    text += '/';
    if (!account.issuer.empty()) {
        text += URIEncoding::percentEncoded(account.issuer, labelCharacters);
        text += ':';
    }
    text += URIEncoding::percentEncoded(account.name, labelCharacters);
    text += '?';
    addQueryItem(text, "secret", account.secret);
    addQueryItem(text, "issuer", account.issuer);
    addQueryItem(text, "algorithm", account.algorithm);
    addQueryItem(text, "digits", account.digits);
    addQueryItem(text, "period", account.period);
}

ImportSkipReason reasonFor(const OTPAuthURIError& error) {
    switch (error.kind()) {
    case OTPAuthURIError::Kind::unsupportedType:
        return error.type() == "hotp" ? ImportSkipReason::hotp : ImportSkipReason::unsupportedType;
    case OTPAuthURIError::Kind::invalidParameters:
        return ImportSkipReason::invalidParameters;
    case OTPAuthURIError::Kind::missingSecret:
        return ImportSkipReason::emptySecret;
    default:
        return ImportSkipReason::invalid;
    }
}

} // namespace

void add(ImportBatch& batch, const ExportedAccount& account) {
    Crypto::WipedText link;
    writeLink(account, link.value());
    auto entry = OTPAuthURI::parse(link.value());
    if (!entry) {
        batch.skipped.push_back(
            {AccountTitle::make(account.issuer, account.name), reasonFor(entry.error())});
        return;
    }
    entry->group = account.group;
    batch.entries.push_back(std::move(*entry));
}

} // namespace ExportedAccounts
} // namespace zemlar
