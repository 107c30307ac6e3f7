// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zemlar {

/// One item of a query: the name and, when the item has an "=", the value; both percent-decoded.
struct URIQueryItem {
    std::string name;
    std::optional<std::string> value;

    bool operator==(const URIQueryItem&) const = default;
};

/// The parts of an RFC 3986 URI reference that links need. Percent escapes are decoded in host,
/// path and query items ("+" stays "+"); decoded bytes that are not UTF-8 become U+FFFD.
struct URIComponents {
    std::optional<std::string> scheme;
    std::optional<std::string> host;
    std::string path;
    std::optional<std::vector<URIQueryItem>> queryItems;

    /// The components of the text, or nothing when it is not a well-formed URI reference.
    static std::optional<URIComponents> read(std::string_view text);

    URIComponents() = default;
    URIComponents(const URIComponents&) = delete;
    URIComponents(URIComponents&&) noexcept = default;
    URIComponents& operator=(URIComponents&&) noexcept = default;
    /// Query values may hold secrets: they are overwritten before they are freed.
    ~URIComponents();
};

namespace URIEncoding {

/// The text with every byte outside `allowed` written as "%" and two upper-case hex digits.
std::string percentEncoded(std::string_view text, std::string_view allowed);

/// Unreserved characters, sub-delimiters without "&", "=" and "+", and ":" "@" "/" "?": what a
/// query value may hold unescaped and still read back unchanged.
std::string_view queryValueCharacters();

} // namespace URIEncoding
} // namespace zemlar
