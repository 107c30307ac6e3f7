// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Account.hpp"
#include "OTPCore/AccountGroup.hpp"
#include "OTPCore/Date.hpp"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// Turns the query of the search panel into the ordered list of accounts it shows.
namespace zemlar::AccountSearch {

/// How one account matched the query; a higher raw value is a better match, and the cases
/// compare in that order.
enum class Match : int {
    /// The word's characters occur in order in the issuer, a space and the name.
    subsequence = 1,
    /// The word occurs inside the issuer, the name or the group name.
    substring = 2,
    /// A word (run of letters and numbers) of the issuer, the name or the group name starts
    /// with it.
    wordPrefix = 3,
    /// The issuer or the name starts with it.
    prefix = 4,
};

constexpr int rawValue(Match match) {
    return static_cast<int>(match);
}

/// The case with that raw value; nothing outside 1 to 4.
constexpr std::optional<Match> matchFromRawValue(int value) {
    if (value < rawValue(Match::subsequence) || value > rawValue(Match::prefix)) {
        return std::nullopt;
    }
    return static_cast<Match>(value);
}

/// The frecency of an account halves every 14 days without use.
inline constexpr double halfLife = 1'209'600;

/// log2(useCount + 1) × 2^(−age / halfLife), where age is the time since the last use (0 when
/// that lies in the future); 0 for an account never used.
double frecency(const Account& account, Date now);

/// The positions in `accounts` of the matching accounts, in display order: every query word
/// must match; then the better match, the better site match for `host`, the higher frecency at
/// `now`, the normalised title and finally the identifier decide.
std::vector<std::size_t> rank(const std::vector<Account>& accounts, std::string_view query,
                              Date now, const std::optional<std::string>& host,
                              const Groups& groups);

/// How the account matches the query, as rank() sees it: the worst match of its words;
/// nothing when some word does not match. An empty query matches every account by `prefix`.
std::optional<Match> match(const Account& account, std::string_view query, const Groups& groups);

/// The form in which texts are compared: case and diacritics folded without a locale, white
/// space runs reduced to single spaces, none at either end.
std::string normalized(std::string_view text);

/// The same normalisation always through ICU, without the shortcuts of normalized(). Both give
/// the same text for every input; this one exists so that the shortcuts can be checked.
std::string normalizedByICU(std::string_view text);

} // namespace zemlar::AccountSearch
