// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/JSONCoding.hpp"

#include "OTPCore/Crypto.hpp"

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

namespace zemlar::JSONCoding {
namespace {

const JSON* member(const JSON& object, std::string_view key) {
    if (!object.is_object()) {
        return nullptr;
    }
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

/// Serializer output that grows its buffer by hand, wiping the outgrown one.
class WipingOutput final : public nlohmann::detail::output_adapter_protocol<char> {
public:
    explicit WipingOutput(Bytes& bytes) : bytes_(bytes) {}

    void write_character(char character) override { write_characters(&character, 1); }
    void write_characters(const char* characters, std::size_t length) override {
        if (bytes_.size() + length > bytes_.capacity()) {
            grow(bytes_.size() + length);
        }
        bytes_.insert(bytes_.end(), characters, characters + length);
    }

private:
    void grow(std::size_t needed) {
        Bytes larger;
        larger.reserve(std::max({needed, 2 * bytes_.capacity(), std::size_t{256}}));
        larger.assign(bytes_.begin(), bytes_.end());
        Crypto::wipe(bytes_);
        bytes_.swap(larger);
    }

    Bytes& bytes_;
};

} // namespace

JSON encode(const OTPParameters& parameters) {
    return JSON{{"algorithm", OTPAlgorithms::rawValue(parameters.algorithm())},
                {"digits", parameters.digits()},
                {"period", parameters.period()}};
}

std::string_view describe(ParametersDecodingError error) {
    return error == ParametersDecodingError::invalidParameters ? invalidParametersDescription
                                                               : "incomplete";
}

Result<OTPParameters, ParametersDecodingError> decodeParameters(const JSON& value) {
    const auto algorithmName = string(value, "algorithm");
    const auto digits = integer(value, "digits");
    const auto period = integer(value, "period");
    if (!algorithmName || !digits || !period) {
        return fail(ParametersDecodingError::incomplete);
    }
    const auto algorithm = OTPAlgorithms::fromRawValue(*algorithmName);
    if (!algorithm) {
        return fail(ParametersDecodingError::incomplete);
    }
    const auto parameters = OTPParameters::make(*algorithm, *digits, *period);
    if (!parameters) {
        return fail(ParametersDecodingError::invalidParameters);
    }
    return *parameters;
}

std::optional<OTPParameters> parametersMember(const JSON& object, std::string_view key) {
    const JSON* value = member(object, key);
    if (value == nullptr) {
        return std::nullopt;
    }
    const auto parameters = decodeParameters(*value);
    return parameters ? std::optional(*parameters) : std::nullopt;
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
    Bytes bytes;
    try {
        nlohmann::detail::serializer<JSON> writer(std::make_shared<WipingOutput>(bytes), ' ',
                                                  nlohmann::detail::error_handler_t::strict);
        writer.dump(document, pretty, false, pretty ? 2u : 0u);
    } catch (const JSON::exception&) {
        Crypto::wipe(bytes);
        return std::nullopt;
    }
    return bytes;
}

void wipe(JSON& root) {
    std::vector<JSON*> pending{&root};
    while (!pending.empty()) {
        JSON* value = pending.back();
        pending.pop_back();
        if (value->is_string()) {
            Crypto::wipe(value->get_ref<std::string&>());
        } else if (value->is_number()) {
            *value = 0;
        } else if (value->is_structured()) {
            for (JSON& element : *value) {
                pending.push_back(&element);
            }
        }
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
