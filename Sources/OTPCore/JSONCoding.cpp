// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/JSONCoding.hpp"

#include <limits>

namespace zemlar::JSONCoding {
namespace {

const JSON* member(const JSON& object, std::string_view key) {
    if (!object.is_object()) {
        return nullptr;
    }
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

} // namespace

JSON encode(const OTPParameters& parameters) {
    return JSON{{"algorithm", OTPAlgorithms::rawValue(parameters.algorithm())},
                {"digits", parameters.digits()},
                {"period", parameters.period()}};
}

std::optional<OTPParameters> decodeParameters(const JSON& value) {
    const auto algorithmName = string(value, "algorithm");
    const auto digits = integer(value, "digits");
    const auto period = integer(value, "period");
    if (!algorithmName || !digits || !period) {
        return std::nullopt;
    }
    const auto algorithm = OTPAlgorithms::fromRawValue(*algorithmName);
    if (!algorithm) {
        return std::nullopt;
    }
    return OTPParameters::make(*algorithm, *digits, *period);
}

std::optional<std::string> string(const JSON& object, std::string_view key) {
    const JSON* value = member(object, key);
    if (value == nullptr || !value->is_string()) {
        return std::nullopt;
    }
    return value->get<std::string>();
}

std::optional<std::int64_t> integer(const JSON& object, std::string_view key) {
    const JSON* value = member(object, key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (value->is_number_unsigned()) {
        const auto number = value->get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(number);
    }
    if (value->is_number_integer()) {
        return value->get<std::int64_t>();
    }
    return std::nullopt;
}

std::optional<bool> boolean(const JSON& object, std::string_view key) {
    const JSON* value = member(object, key);
    if (value == nullptr || !value->is_boolean()) {
        return std::nullopt;
    }
    return value->get<bool>();
}

std::optional<UUID> uuid(const JSON& object, std::string_view key) {
    const auto text = string(object, key);
    return text ? UUID::parse(*text) : std::nullopt;
}

std::optional<Date> date(const JSON& object, std::string_view key) {
    const auto text = string(object, key);
    return text ? Date::parseISO8601(*text) : std::nullopt;
}

bool isAbsent(const JSON& object, std::string_view key) {
    const JSON* value = member(object, key);
    return value == nullptr || value->is_null();
}

std::optional<JSON> parse(std::span<const std::uint8_t> bytes) {
    JSON document = JSON::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (document.is_discarded()) {
        return std::nullopt;
    }
    return document;
}

std::optional<Bytes> serialize(const JSON& document, bool pretty) {
    try {
        const std::string text = document.dump(pretty ? 2 : -1);
        return Bytes(text.begin(), text.end());
    } catch (const JSON::exception&) {
        return std::nullopt;
    }
}

Result<JSON, AccountsCodecError> versionedList(std::span<const std::uint8_t> bytes,
                                               std::string_view listKey,
                                               std::int64_t currentVersion) {
    const auto document = parse(bytes);
    if (!document) {
        return fail(AccountsCodecError::malformed());
    }
    const auto version = integer(*document, "version");
    if (!version) {
        return fail(AccountsCodecError::malformed());
    }
    if (*version != currentVersion) {
        return fail(AccountsCodecError::unsupportedVersion(*version));
    }
    const JSON* list = member(*document, listKey);
    if (list == nullptr || !list->is_array()) {
        return fail(AccountsCodecError::malformed());
    }
    return *list;
}

Result<Bytes, AccountsCodecError> versionedDocument(JSON items, std::string_view listKey,
                                                    std::int64_t currentVersion) {
    JSON document = JSON::object();
    document["version"] = currentVersion;
    document[std::string(listKey)] = std::move(items);
    auto bytes = serialize(document, true);
    if (!bytes) {
        return fail(AccountsCodecError::encodingFailed());
    }
    return std::move(*bytes);
}

} // namespace zemlar::JSONCoding
