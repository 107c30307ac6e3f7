// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/ExportedAccount.hpp"

#include <optional>
#include <string_view>

namespace zemlar::ExportLinks {

/// How an app wrote its query values.
enum class QueryEncoding {
    /// Percent escapes only, as otpauth links are read everywhere else.
    percent,
    /// Form encoding: a "+" stands for a space.
    form
};

/// The fields of an otpauth:// link (type, label, secret and parameters; a "null" value counts
/// as absent) or of a steam:// link (type and secret only); nothing for any other text.
std::optional<ExportedAccount> fields(std::string_view link,
                                      QueryEncoding encoding = QueryEncoding::percent);

/// The value of a link's query item, percent-decoded; "" when the item or the link is missing.
std::string queryValue(std::string_view link, std::string_view name);

} // namespace zemlar::ExportLinks
