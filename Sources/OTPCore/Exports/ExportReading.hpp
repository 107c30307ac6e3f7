// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/ExportFailure.hpp"
#include "OTPCore/ExportedAccount.hpp"
#include "OTPCore/ImportBatch.hpp"
#include "OTPCore/JSONCoding.hpp"
#include "OTPCore/Result.hpp"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

/// What the readers of other apps' exports share: lenient JSON access, byte views and the
/// decoding of the byte strings the exports carry.
namespace zemlar::ExportReading {

using JSON = JSONCoding::JSON;
using Outcome = Result<ImportBatch, ExportFailure>;

/// The content parsed as JSON; nothing when it is not well-formed JSON.
std::optional<JSON> parse(std::string_view content);
std::optional<JSON> parse(std::span<const std::uint8_t> content);

/// True when the content is a JSON document that `test` accepts. The parsed document is wiped.
bool isJSONWhere(std::string_view content, const std::function<bool(const JSON&)>& test);

/// The member of an object; nullptr when the value is no object or has no such member.
const JSON* member(const JSON& object, std::string_view key);
/// True when the object has the member and it is of the kind (JSON::value_t) given.
bool hasMember(const JSON& object, std::string_view key, JSON::value_t kind);

/// The member as an export means it: a string as it is, a whole number in decimal; empty for
/// anything else, a missing member and null included.
std::string text(const JSON& object, std::string_view key);

/// Each element of the array under `key` (none when there is no such array).
const JSON& array(const JSON& object, std::string_view key);

std::span<const std::uint8_t> bytes(std::string_view text);

/// Lower- or upper-case hexadecimal text; nothing for any other text.
std::optional<Bytes> hex(std::string_view text);

/// Joins parts into one buffer, as AESGCM::open wants nonce | ciphertext | tag.
Bytes joined(std::initializer_list<std::span<const std::uint8_t>> parts);

using Reader = std::function<Outcome(const JSON&)>;

/// What the reader makes of the content parsed as JSON, which is wiped afterwards; damaged when
/// the content is not JSON.
Outcome readJSON(std::span<const std::uint8_t> content, const Reader& reader);
Outcome readJSON(std::string_view content, const Reader& reader);

/// readJSON of decrypted content, which is wiped afterwards; `unopened` when there is none.
Outcome readOpened(std::optional<Bytes> plaintext, ExportFailure unopened, const Reader& reader);

/// Adds every account to a batch; damaged as soon as `account` refuses an element (gives
/// nothing), so that an export is taken as a whole or not at all.
Outcome accounts(const JSON& list,
                 const std::function<std::optional<ExportedAccount>(const JSON&)>& account);

} // namespace zemlar::ExportReading
