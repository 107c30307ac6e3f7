// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/Sites.hpp"

#include "HexDigit.hpp"
#include "OTPCore/Unicode.hpp"
#include "SiteHost.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <unordered_set>

namespace zemlar::Sites {
namespace {

bool isASCIIAlphaNumeric(char character) {
    return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
           (character >= '0' && character <= '9');
}

bool isTrimmedFromHost(char32_t codePoint) {
    return codePoint == '.' || Unicode::isWhitespaceOrNewline(codePoint);
}

// Offset of the code point that ends just before `end`.
std::size_t previousCodePointStart(std::string_view text, std::size_t end) {
    std::size_t start = end - 1;
    while (start > 0 && end - start < 4 &&
           (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
        --start;
    }
    return start;
}

template <class Predicate> std::string_view trimmedOf(std::string_view text, Predicate drops) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t next = start;
        if (!drops(Unicode::nextCodePoint(text, next))) {
            break;
        }
        start = next;
    }
    std::size_t end = text.size();
    while (end > start) {
        const std::size_t previous = previousCodePointStart(text, end);
        std::size_t cursor = previous;
        if (cursor < start || !drops(Unicode::nextCodePoint(text, cursor)) || cursor != end) {
            break;
        }
        end = previous;
    }
    return text.substr(start, end - start);
}

bool isForbiddenInURL(unsigned char byte) {
    static constexpr std::string_view forbidden = " \"<>\\^`{|}";
    return byte < 0x20 || byte == 0x7F || forbidden.find(static_cast<char>(byte)) != forbidden.npos;
}

// Every character may appear in a URL and every "%" starts a two-digit escape.
bool isWellFormedURLText(std::string_view text) {
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (isForbiddenInURL(static_cast<unsigned char>(text[index]))) {
            return false;
        }
        if (text[index] == '%' && (index + 2 >= text.size() || hexDigitValue(text[index + 1]) < 0 ||
                                   hexDigitValue(text[index + 2]) < 0)) {
            return false;
        }
    }
    return Unicode::wellFormed(text) == text;
}

std::optional<std::string_view> scheme(std::string_view url) {
    const std::size_t colon = url.find(':');
    if (colon == url.npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(url[0]))) {
        return std::nullopt;
    }
    const std::string_view name = url.substr(0, colon);
    const bool valid = std::all_of(name.begin(), name.end(), [](char character) {
        return isASCIIAlphaNumeric(character) || character == '+' || character == '-' ||
               character == '.';
    });
    return valid ? std::optional(name) : std::nullopt;
}

bool isPort(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char character) { return character >= '0' && character <= '9'; });
}

bool isIPv6Literal(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char character) {
        return hexDigitValue(character) >= 0 || character == ':' || character == '.';
    });
}

// The host part of an authority, still percent-encoded.
std::optional<std::string_view> hostOfAuthority(std::string_view authority) {
    if (const std::size_t at = authority.rfind('@'); at != authority.npos) {
        authority.remove_prefix(at + 1);
    }
    if (authority.starts_with('[')) {
        const std::size_t close = authority.find(']');
        if (close == authority.npos) {
            return std::nullopt;
        }
        const std::string_view address = authority.substr(1, close - 1);
        const std::string_view rest = authority.substr(close + 1);
        if (!isIPv6Literal(address) ||
            !(rest.empty() || (rest[0] == ':' && isPort(rest.substr(1))))) {
            return std::nullopt;
        }
        return address;
    }
    const std::size_t colon = authority.find(':');
    if (colon != authority.npos && !isPort(authority.substr(colon + 1))) {
        return std::nullopt;
    }
    const std::string_view host = authority.substr(0, colon);
    if (host.find_first_of("[]") != host.npos) {
        return std::nullopt;
    }
    return host;
}

bool isUnfitForHost(char32_t codePoint) {
    static constexpr std::u32string_view separators = U"/?#@[]\\";
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F) ||
           separators.find(codePoint) != separators.npos ||
           Unicode::isWhitespaceOrNewline(codePoint);
}

std::optional<std::string> percentDecodedHost(std::string_view host) {
    std::string decoded;
    decoded.reserve(host.size());
    for (std::size_t index = 0; index < host.size(); ++index) {
        if (host[index] == '%') {
            decoded.push_back(static_cast<char>(hexDigitValue(host[index + 1]) * 16 +
                                                hexDigitValue(host[index + 2])));
            index += 2;
        } else {
            decoded.push_back(host[index]);
        }
    }
    if (Unicode::wellFormed(decoded) != decoded) {
        return std::nullopt;
    }
    for (std::size_t offset = 0; offset < decoded.size();) {
        if (isUnfitForHost(Unicode::nextCodePoint(decoded, offset))) {
            return std::nullopt;
        }
    }
    return decoded;
}

std::string issuerKey(std::string_view issuer) {
    std::string key;
    const std::string lower = Unicode::lowercased(issuer);
    for (std::size_t offset = 0; offset < lower.size();) {
        const std::size_t start = offset;
        if (Unicode::isLetterOrNumber(Unicode::nextCodePoint(lower, offset))) {
            key.append(lower, start, offset - start);
        }
    }
    return key;
}

std::size_t codePointCount(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    }));
}

bool isPlausibleHost(std::string_view host) {
    if (host.find('.') == host.npos && host != "localhost") {
        return false;
    }
    for (std::size_t offset = 0; offset < host.size();) {
        const char32_t codePoint = Unicode::nextCodePoint(host, offset);
        if (codePoint != '.' && codePoint != '-' && !Unicode::isLetterOrNumber(codePoint)) {
            return false;
        }
    }
    return true;
}

bool isListSeparator(char32_t codePoint) {
    return codePoint == ',' || codePoint == ';' || Unicode::isWhitespaceOrNewline(codePoint);
}

std::vector<std::string_view> piecesOf(std::string_view text) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t offset = 0; offset < text.size();) {
        const std::size_t here = offset;
        if (isListSeparator(Unicode::nextCodePoint(text, offset))) {
            if (here > start) {
                pieces.push_back(text.substr(start, here - start));
            }
            start = offset;
        }
    }
    if (start < text.size()) {
        pieces.push_back(text.substr(start));
    }
    return pieces;
}

std::optional<std::string> hostOfListPiece(std::string_view piece) {
    if (piece.find("://") != piece.npos) {
        return host(piece);
    }
    const std::size_t first = piece.find_first_not_of('/');
    if (first == piece.npos) {
        return std::nullopt;
    }
    piece.remove_prefix(first);
    return normalize(piece.substr(0, piece.find('/')));
}

} // namespace

std::string normalize(std::string_view host) {
    const std::string lower = Unicode::lowercased(host);
    std::string_view trimmed = trimmedOf(lower, isTrimmedFromHost);
    if (trimmed.starts_with("www.")) {
        trimmed.remove_prefix(4);
    }
    return std::string(trimmed);
}

std::optional<std::string> host(std::string_view url) {
    const std::string text = Unicode::trimmed(url);
    if (!isWellFormedURLText(text)) {
        return std::nullopt;
    }
    const auto name = scheme(text);
    if (!name) {
        return std::nullopt;
    }
    const std::string lowerScheme = Unicode::folded(*name);
    if (lowerScheme != "http" && lowerScheme != "https") {
        return std::nullopt;
    }
    std::string_view rest = std::string_view(text).substr(name->size() + 1);
    if (!rest.starts_with("//")) {
        return std::nullopt;
    }
    rest.remove_prefix(2);
    const auto encodedHost = hostOfAuthority(rest.substr(0, rest.find_first_of("/?#")));
    if (!encodedHost) {
        return std::nullopt;
    }
    const auto decoded = percentDecodedHost(*encodedHost);
    if (!decoded) {
        return std::nullopt;
    }
    std::string result = normalize(*decoded);
    if (result.empty()) {
        return std::nullopt;
    }
    return result;
}

std::vector<std::string> parseList(std::string_view text) {
    std::vector<std::string> hosts;
    std::unordered_set<std::string> seen;
    for (const std::string_view piece : piecesOf(text)) {
        auto candidate = hostOfListPiece(piece);
        if (candidate && isPlausibleHost(*candidate) && seen.insert(*candidate).second) {
            hosts.push_back(std::move(*candidate));
        }
    }
    return hosts;
}

SiteMatch match(std::string_view host, const Account& account) {
    return NormalizedHost(host).match(account);
}

NormalizedHost::NormalizedHost(std::string_view host) : host_(normalize(host)) {
    std::string_view rest = host_;
    while (!rest.empty()) {
        const std::size_t dot = rest.find('.');
        if (dot != 0) {
            labels_.emplace_back(rest.substr(0, dot));
            longestLabel_ = std::max(longestLabel_, labels_.back().size());
        }
        if (dot == rest.npos) {
            break;
        }
        rest.remove_prefix(dot + 1);
    }
}

SiteMatch NormalizedHost::match(const Account& account) const {
    if (host_.empty()) {
        return SiteMatch::none;
    }
    const std::string_view host = host_;
    for (const std::string& domain : account.domains) {
        if (host == domain || (host.size() > domain.size() && host.ends_with(domain) &&
                               host[host.size() - domain.size() - 1] == '.')) {
            return SiteMatch::domain;
        }
    }
    if (const auto quick = matchOfASCIIIssuer(account.issuer)) {
        return *quick;
    }
    const std::string key = issuerKey(account.issuer);
    return matchOfIssuerKey(key, codePointCount(key));
}

SiteMatch NormalizedHost::matchOfIssuerKey(std::string_view key, std::size_t length) const {
    if (length < 3) {
        return SiteMatch::none;
    }
    return std::find(labels_.begin(), labels_.end(), key) != labels_.end() ? SiteMatch::issuer
                                                                           : SiteMatch::none;
}

// The key of an ASCII issuer is built in place; one longer than every label cannot match.
// Nothing for an issuer that is not ASCII.
std::optional<SiteMatch> NormalizedHost::matchOfASCIIIssuer(std::string_view issuer) const {
    std::array<char, 64> key{};
    std::size_t length = 0;
    for (const char character : issuer) {
        if (static_cast<unsigned char>(character) >= 0x80) {
            return std::nullopt;
        }
        if (!isASCIIAlphaNumeric(character)) {
            continue;
        }
        if (length == key.size() || length == longestLabel_) {
            return SiteMatch::none;
        }
        key[length++] =
            character >= 'A' && character <= 'Z' ? static_cast<char>(character + 32) : character;
    }
    return matchOfIssuerKey(std::string_view(key.data(), length), length);
}

} // namespace zemlar::Sites
