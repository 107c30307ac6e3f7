// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/OTPAuthURI.hpp"

#include "OTPCore/Base32.hpp"
#include "OTPCore/Crypto.hpp"
#include "OTPCore/Unicode.hpp"
#include "URIComponents.hpp"

#include <array>
#include <charconv>
#include <limits>
#include <string_view>

namespace zemlar::OTPAuthURI {
namespace {

constexpr std::array<std::string_view, 5> knownItems = {"secret", "issuer", "algorithm", "digits",
                                                        "period"};

// The values of the known items, the first occurrence of each name winning.
struct LinkItems {
    std::array<std::optional<std::string>, knownItems.size()> values;

    const std::optional<std::string>& operator[](std::string_view name) const {
        for (std::size_t index = 0; index < knownItems.size(); ++index) {
            if (knownItems[index] == name) {
                return values[index];
            }
        }
        return values[0];
    }

    ~LinkItems() {
        if (values[0]) {
            Crypto::wipe(*values[0]);
        }
    }
};

void collect(const std::vector<URIQueryItem>& queryItems, LinkItems& items) {
    for (const URIQueryItem& item : queryItems) {
        const std::string name = Unicode::lowercased(item.name);
        for (std::size_t index = 0; index < knownItems.size(); ++index) {
            if (knownItems[index] == name && !items.values[index]) {
                items.values[index] = item.value.value_or("");
            }
        }
    }
}

// A decimal integer with an optional sign and nothing else, within 64 bits.
std::optional<std::int64_t> decimalInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() == '+' || text.front() == '-') {
        return std::nullopt;
    }
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    constexpr auto maximum = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (!negative && magnitude > maximum) {
        return std::nullopt;
    }
    if (negative && magnitude > maximum + 1) {
        return std::nullopt;
    }
    if (negative) {
        return magnitude == maximum + 1 ? std::numeric_limits<std::int64_t>::min()
                                        : -static_cast<std::int64_t>(magnitude);
    }
    return static_cast<std::int64_t>(magnitude);
}

std::optional<OTPParameters> parameters(const LinkItems& items) {
    OTPAlgorithm algorithm = OTPAlgorithm::sha1;
    if (const auto& value = items["algorithm"]) {
        const auto known = OTPAlgorithms::fromRawValue(Unicode::uppercased(*value));
        if (!known) {
            return std::nullopt;
        }
        algorithm = *known;
    }
    std::int64_t digits = 6;
    if (const auto& value = items["digits"]) {
        const auto number = decimalInteger(*value);
        if (!number) {
            return std::nullopt;
        }
        digits = *number;
    }
    std::int64_t period = 30;
    if (const auto& value = items["period"]) {
        const auto number = decimalInteger(*value);
        if (!number) {
            return std::nullopt;
        }
        period = *number;
    }
    return OTPParameters::make(algorithm, digits, period);
}

// Characters allowed in a URI path, without ":", "/", "?" and "#".
constexpr std::string_view labelCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~!$&'()*+,;=@";

std::string label(std::string_view issuer, std::string_view name) {
    const std::string encodedName = URIEncoding::percentEncoded(name, labelCharacters);
    if (!issuer.empty() && issuer.find(':') == std::string_view::npos) {
        return URIEncoding::percentEncoded(issuer, labelCharacters) + ":" + encodedName;
    }
    if (name.find(':') != std::string_view::npos) {
        return ":" + encodedName;
    }
    return encodedName;
}

} // namespace

Result<OTPAuthEntry, OTPAuthURIError> parse(std::string_view text) {
    const auto components = URIComponents::read(Unicode::trimmed(text));
    if (!components) {
        return fail(OTPAuthURIError::invalidURI());
    }
    if (!components->scheme || Unicode::lowercased(*components->scheme) != "otpauth") {
        return fail(OTPAuthURIError::unsupportedScheme());
    }
    const std::string type = Unicode::lowercased(components->host.value_or(""));
    if (type != "totp") {
        return fail(OTPAuthURIError::unsupportedType(type));
    }
    LinkItems items;
    if (components->queryItems) {
        collect(*components->queryItems, items);
    }
    const auto& secretText = items["secret"];
    if (!secretText || secretText->empty()) {
        return fail(OTPAuthURIError::missingSecret());
    }
    auto secret = Base32::decode(*secretText);
    if (!secret) {
        return fail(OTPAuthURIError::invalidSecret());
    }
    const auto linkParameters = parameters(items);
    if (!linkParameters) {
        Crypto::wipe(*secret);
        return fail(OTPAuthURIError::invalidParameters());
    }
    Label split = parseLabel(components->path);
    std::string issuer = Unicode::trimmedBlanks(items["issuer"].value_or(""));
    if (issuer.empty()) {
        issuer = split.issuer.value_or("");
    }
    return OTPAuthEntry(std::move(issuer), std::move(split.name), std::move(*secret),
                        *linkParameters);
}

std::string make(std::string_view issuer, std::string_view name,
                 std::span<const std::uint8_t> secret, OTPParameters parameters) {
    const std::string_view valueCharacters = URIEncoding::queryValueCharacters();
    const Crypto::WipedText secretText(Base32::encode(secret));
    std::string rest;
    if (!issuer.empty()) {
        rest += "&issuer=" + URIEncoding::percentEncoded(issuer, valueCharacters);
    }
    rest += "&algorithm=";
    rest += OTPAlgorithms::rawValue(parameters.algorithm());
    rest += "&digits=" + std::to_string(parameters.digits());
    rest += "&period=" + std::to_string(parameters.period());
    const std::string start = "otpauth://totp/" + label(issuer, name) + "?secret=";
    // Sized once, so that no outgrown buffer holding the secret is freed unwiped.
    std::string link;
    link.reserve(start.size() + secretText->size() + rest.size());
    link.append(start).append(secretText.value()).append(rest);
    return link;
}

Label parseLabel(std::string_view label) {
    if (label.starts_with('/')) {
        label.remove_prefix(1);
    }
    const std::size_t colon = label.find(':');
    if (colon == std::string_view::npos) {
        return {std::nullopt, Unicode::trimmedBlanks(label)};
    }
    std::string issuer = Unicode::trimmedBlanks(label.substr(0, colon));
    std::string name = Unicode::trimmedBlanks(label.substr(colon + 1));
    if (issuer.empty()) {
        return {std::nullopt, std::move(name)};
    }
    return {std::move(issuer), std::move(name)};
}

} // namespace zemlar::OTPAuthURI
