// SPDX-License-Identifier: GPL-3.0-or-later
#include "URIComponents.hpp"

#include "HexDigit.hpp"
#include "OTPCore/Crypto.hpp"
#include "OTPCore/Unicode.hpp"

#include <uriparser/Uri.h>

namespace zemlar {
namespace {

// Query values carry the secret: the intermediate text is wiped once the result exists.
std::string percentDecoded(std::string_view text) {
    Crypto::WipedText decoded;
    std::string& bytes = decoded.value();
    bytes.reserve(text.size());
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (text[index] == '%' && index + 2 < text.size()) {
            const int high = hexDigitValue(text[index + 1]);
            const int low = hexDigitValue(text[index + 2]);
            if (high >= 0 && low >= 0) {
                bytes.push_back(static_cast<char>(high * 16 + low));
                index += 2;
                continue;
            }
        }
        bytes.push_back(text[index]);
    }
    return Unicode::wellFormed(bytes);
}

std::string_view rangeText(const UriTextRangeA& range) {
    return {range.first, static_cast<std::size_t>(range.afterLast - range.first)};
}

std::vector<URIQueryItem> splitQuery(std::string_view query) {
    std::vector<URIQueryItem> items;
    if (query.empty()) {
        return items;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(query.find('&', start), query.size());
        const std::string_view item = query.substr(start, end - start);
        const std::size_t equals = item.find('=');
        if (equals == std::string_view::npos) {
            items.push_back({percentDecoded(item), std::nullopt});
        } else {
            items.push_back(
                {percentDecoded(item.substr(0, equals)), percentDecoded(item.substr(equals + 1))});
        }
        if (end == query.size()) {
            return items;
        }
        start = end + 1;
    }
}

// The raw path of a text that parsed as a URI reference: after the scheme and authority, up to
// the query or fragment.
std::string_view rawPath(std::string_view text, std::size_t afterScheme) {
    std::string_view rest = text.substr(afterScheme);
    if (rest.starts_with("//")) {
        rest = rest.substr(std::min(rest.find_first_of("/?#", 2), rest.size()));
    }
    return rest.substr(0, std::min(rest.find_first_of("?#"), rest.size()));
}

struct ParsedURI {
    UriUriA uri{};
    ~ParsedURI() { uriFreeUriMembersA(&uri); }
};

} // namespace

std::optional<URIComponents> URIComponents::read(std::string_view text) {
    if (text.data() == nullptr) {
        text = "";
    }
    ParsedURI parsed;
    const char* errorPosition = nullptr;
    if (uriParseSingleUriExA(&parsed.uri, text.data(), text.data() + text.size(), &errorPosition) !=
        URI_SUCCESS) {
        return std::nullopt;
    }
    const UriUriA& uri = parsed.uri;
    URIComponents components;
    std::size_t afterScheme = 0;
    if (uri.scheme.first != nullptr) {
        components.scheme = std::string(rangeText(uri.scheme));
        afterScheme = static_cast<std::size_t>(uri.scheme.afterLast - text.data()) + 1;
    }
    if (uri.hostText.first != nullptr) {
        components.host = percentDecoded(rangeText(uri.hostText));
    }
    components.path = percentDecoded(rawPath(text, afterScheme));
    if (uri.query.first != nullptr) {
        components.queryItems = splitQuery(rangeText(uri.query));
    }
    return components;
}

URIComponents::~URIComponents() {
    if (!queryItems) {
        return;
    }
    for (URIQueryItem& item : *queryItems) {
        if (item.value) {
            Crypto::wipe(*item.value);
        }
    }
}

namespace URIEncoding {

std::string percentEncoded(std::string_view text, std::string_view allowed) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (const char character : text) {
        if (allowed.find(character) != std::string_view::npos && character != '\0') {
            encoded.push_back(character);
            continue;
        }
        const auto byte = static_cast<unsigned char>(character);
        encoded.push_back('%');
        encoded.push_back(digits[byte >> 4]);
        encoded.push_back(digits[byte & 0x0F]);
    }
    return encoded;
}

std::string_view queryValueCharacters() {
    return "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~!$'()*,;:@/?";
}

} // namespace URIEncoding
} // namespace zemlar
