// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Account.hpp"
#include "OTPCore/SiteMatch.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// Hosts of web sites: reducing URLs and typed site lists to normalised hosts, and deciding how
/// well a host fits an account.
namespace zemlar::Sites {

/// Lower case, white space, line breaks and full stops trimmed at both ends, then one leading
/// "www." dropped.
std::string normalize(std::string_view host);

/// The normalised host of an "http" or "https" URL (scheme in any letter case); nothing for any
/// other scheme, a text without one, a URL that does not parse or one whose host normalises
/// to nothing. User information and the port are not part of the host; an IPv6 literal is
/// given without its brackets; percent-escapes in the host are decoded.
std::optional<std::string> host(std::string_view url);

/// The normalised, plausible, distinct hosts named in a list separated by commas, semicolons
/// or white space, in order of first appearance. A piece is a URL, or a host optionally followed
/// by a slash and a path. Plausible: contains a "." (or is exactly "localhost") and consists of
/// letters, digits, "." and "-" only.
std::vector<std::string> parseList(std::string_view text);

/// `domain` when the host is one of the account's domains or a subdomain of one; otherwise
/// `issuer` when a label of the host equals the account's issuer in lower case reduced to
/// letters and digits (at least 3 of them); otherwise `none`.
SiteMatch match(std::string_view host, const Account& account);

} // namespace zemlar::Sites
