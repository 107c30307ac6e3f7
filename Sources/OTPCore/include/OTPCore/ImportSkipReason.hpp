// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string_view>

namespace zemlar {

/// Why an import passed over a line or an account.
enum class ImportSkipReason {
    /// A line that is neither kind of link.
    unrecognized,
    /// A link that could not be read.
    invalid,
    /// A counter-based account.
    hotp,
    /// An exported account of another or no type.
    unsupportedType,
    /// An exported account with an algorithm value of 4 or more.
    unsupportedAlgorithm,
    /// An exported account with an unknown digit count.
    invalidParameters,
    /// An exported account without secret bytes.
    emptySecret,
    /// The account exists already.
    duplicate,
    /// The account could not be stored.
    storageFailed
};

namespace ImportSkipReasons {

inline constexpr std::array<ImportSkipReason, 9> allCases = {ImportSkipReason::unrecognized,
                                                             ImportSkipReason::invalid,
                                                             ImportSkipReason::hotp,
                                                             ImportSkipReason::unsupportedType,
                                                             ImportSkipReason::unsupportedAlgorithm,
                                                             ImportSkipReason::invalidParameters,
                                                             ImportSkipReason::emptySecret,
                                                             ImportSkipReason::duplicate,
                                                             ImportSkipReason::storageFailed};

inline constexpr std::string_view unrecognizedText = "not an otpauth link";
inline constexpr std::string_view invalidText = "damaged link";
inline constexpr std::string_view hotpText = "HOTP is not supported";
inline constexpr std::string_view unsupportedTypeText = "unknown code type";
inline constexpr std::string_view unsupportedAlgorithmText = "unsupported algorithm";
inline constexpr std::string_view invalidParametersText = "invalid parameters";
inline constexpr std::string_view emptySecretText = "no secret";
inline constexpr std::string_view duplicateText = "already exists";
inline constexpr std::string_view storageFailedText = "couldn't save";

/// The text the import screen shows beside the skipped account's title.
std::string_view text(ImportSkipReason reason);

/// The case name, for the log: "unsupportedAlgorithm".
std::string_view describe(ImportSkipReason reason);

} // namespace ImportSkipReasons
} // namespace zemlar
