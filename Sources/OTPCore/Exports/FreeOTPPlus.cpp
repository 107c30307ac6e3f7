// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportReading.hpp"
#include "FreeOTPTokens.hpp"
#include "OTPCore/Crypto.hpp"
#include "Readers.hpp"

// {"tokenOrder": [...], "tokens": [...]}; a token's secret is the raw key as signed bytes.
namespace zemlar::ExternalExports::FreeOTPPlus {
namespace {

using namespace ExportReading;

std::optional<ExportedAccount> account(const JSON& token) {
    auto secret = FreeOTPTokens::signedBytes(member(token, "secret"));
    if (!secret) {
        return std::nullopt;
    }
    const Crypto::WipedBytes key(std::move(*secret));
    return FreeOTPTokens::account(token, key.value());
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
