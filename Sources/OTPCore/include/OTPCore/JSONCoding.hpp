// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/AccountsCodecError.hpp"
#include "OTPCore/Date.hpp"
#include "OTPCore/OTPParameters.hpp"
#include "OTPCore/Result.hpp"
#include "OTPCore/UUID.hpp"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

/// JSON building blocks shared by every document Zemlar reads and writes. Objects keep their
/// keys sorted, so output is always in key order. Readers never throw: a missing key, a wrong
/// type or a bad value gives nothing.
namespace zemlar::JSONCoding {

using JSON = nlohmann::json;

/// Why an OTP parameters object was refused: a key is missing or of the wrong type (or the
/// algorithm unknown), or the values break the parameter rules.
enum class ParametersDecodingError { incomplete, invalidParameters };

inline constexpr std::string_view invalidParametersDescription = "Недопустимые параметры OTP";

/// The decoding error's description; invalidParametersDescription for values the rules refuse.
std::string_view describe(ParametersDecodingError error);

JSON encode(const OTPParameters& parameters);
/// The three required keys, the algorithm's exact raw value, then the parameter rules.
Result<OTPParameters, ParametersDecodingError> decodeParameters(const JSON& value);
/// The parameters under `key` of an object; nothing when absent or refused.
std::optional<OTPParameters> parametersMember(const JSON& object, std::string_view key);

std::optional<std::string> string(const JSON& object, std::string_view key);
std::optional<std::int64_t> integer(const JSON& object, std::string_view key);
std::optional<bool> boolean(const JSON& object, std::string_view key);
std::optional<UUID> uuid(const JSON& object, std::string_view key);
std::optional<Date> date(const JSON& object, std::string_view key);

/// True when the key is absent or null: an optional member that is not there.
bool isAbsent(const JSON& object, std::string_view key);

/// Parses UTF-8 JSON text; nothing when it is not well-formed.
std::optional<JSON> parse(std::span<const std::uint8_t> bytes);
/// Pretty-printed (indented) or compact UTF-8 text; nothing when a string is not valid UTF-8.
/// Written straight into the bytes: a buffer outgrown on the way is wiped before it is freed,
/// so documents that carry secrets leave no copy behind.
std::optional<Bytes> serialize(const JSON& document, bool pretty);

/// Overwrites every string and number of the tree, without recursion (nesting is unbounded).
void wipe(JSON& root);

/// A document that carries secrets (the vault, a backup payload), wiped before it is freed.
struct WipedJSON {
    JSON value;
    ~WipedJSON() { wipe(value); }
};

/// The two-step reading of a versioned list file ({"version": 1, key: [...]}): a version probe
/// (malformed when there is no integer "version"), unsupportedVersion for any other version,
/// then the array under `listKey` (malformed when missing or not an array).
Result<JSON, AccountsCodecError> versionedList(std::span<const std::uint8_t> bytes,
                                               std::string_view listKey,
                                               std::int64_t currentVersion);

/// {"version": currentVersion, listKey: items} pretty-printed; encodingFailed when unwritable.
Result<Bytes, AccountsCodecError> versionedDocument(JSON items, std::string_view listKey,
                                                    std::int64_t currentVersion);

} // namespace zemlar::JSONCoding
