// SPDX-License-Identifier: GPL-3.0-or-later
#include "FreeOTPTokens.hpp"

#include "OTPCore/Base32.hpp"
#include "OTPCore/Crypto.hpp"

namespace zemlar::FreeOTPTokens {
namespace {

using namespace ExportReading;

constexpr std::string_view steamIssuer = "Steam";

/// The first of the texts that is not empty.
std::string firstText(const JSON& token, std::initializer_list<std::string_view> keys) {
    for (const auto key : keys) {
        if (auto value = text(token, key); !value.empty()) {
            return value;
        }
    }
    return {};
}

} // namespace

std::optional<Bytes> signedBytes(const JSON* list) {
    if (list == nullptr || !list->is_array()) {
        return std::nullopt;
    }
    Bytes bytes;
    for (const auto& value : *list) {
        if (!value.is_number_integer() || value.get<std::int64_t>() < -128 ||
            value.get<std::int64_t>() > 255) {
            Crypto::wipe(bytes);
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(value.get<std::int64_t>()));
    }
    return bytes;
}

ExportedAccount account(const JSON& token, std::span<const std::uint8_t> secret) {
    ExportedAccount account;
    if (auto type = text(token, "type"); !type.empty()) {
        account.type = std::move(type);
    }
    // The user's own edits first, then the link's issuer parameter, then its label prefix.
    account.issuer = firstText(token, {"issuerAlt", "issuerInt", "issuerExt"});
    account.name = firstText(token, {"labelAlt", "label"});
    if (account.issuer == steamIssuer) {
        account.type = "steam";
    }
    account.secret = Base32::encode(secret);
    account.algorithm = text(token, "algo");
    account.digits = text(token, "digits");
    account.period = text(token, "period");
    return account;
}

} // namespace zemlar::FreeOTPTokens
