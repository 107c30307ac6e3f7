// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportReading.hpp"

#include "../HexDigit.hpp"
#include "OTPCore/Crypto.hpp"

namespace zemlar::ExportReading {

std::optional<JSON> parse(std::string_view content) {
    return parse(bytes(content));
}

std::optional<JSON> parse(std::span<const std::uint8_t> content) {
    return JSONCoding::parse(content);
}

bool isJSONWhere(std::string_view content, const std::function<bool(const JSON&)>& test) {
    const auto first = content.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    if (first == std::string_view::npos || (content[first] != '{' && content[first] != '[')) {
        return false;
    }
    auto parsed = parse(content);
    if (!parsed) {
        return false;
    }
    const JSONCoding::WipedJSON document{std::move(*parsed)};
    return test(document.value);
}

const JSON* member(const JSON& object, std::string_view key) {
    if (!object.is_object()) {
        return nullptr;
    }
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

bool hasMember(const JSON& object, std::string_view key, JSON::value_t kind) {
    const JSON* value = member(object, key);
    return value != nullptr && value->type() == kind;
}

std::string text(const JSON& object, std::string_view key) {
    const JSON* value = member(object, key);
    if (value == nullptr) {
        return {};
    }
    if (value->is_string()) {
        return value->get<std::string>();
    }
    if (value->is_number_integer()) {
        return value->dump();
    }
    return {};
}

const JSON& array(const JSON& object, std::string_view key) {
    static const JSON none = JSON::array();
    const JSON* value = member(object, key);
    return value != nullptr && value->is_array() ? *value : none;
}

std::span<const std::uint8_t> bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::optional<Bytes> hex(std::string_view text) {
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    Bytes decoded;
    decoded.reserve(text.size() / 2);
    for (std::size_t index = 0; index < text.size(); index += 2) {
        const int high = hexDigitValue(text[index]);
        const int low = hexDigitValue(text[index + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        decoded.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return decoded;
}

Bytes joined(std::initializer_list<std::span<const std::uint8_t>> parts) {
    Bytes whole;
    for (const auto& part : parts) {
        whole.insert(whole.end(), part.begin(), part.end());
    }
    return whole;
}

Outcome readJSON(std::span<const std::uint8_t> content, const Reader& reader) {
    auto parsed = parse(content);
    if (!parsed) {
        return fail(ExportFailure::damaged);
    }
    const JSONCoding::WipedJSON document{std::move(*parsed)};
    return reader(document.value);
}

Outcome readJSON(std::string_view content, const Reader& reader) {
    return readJSON(bytes(content), reader);
}

Outcome readOpened(std::optional<Bytes> plaintext, ExportFailure unopened, const Reader& reader) {
    if (!plaintext) {
        return fail(unopened);
    }
    const Crypto::WipedBytes content(std::move(*plaintext));
    return readJSON(content.value(), reader);
}

Outcome accounts(const JSON& list,
                 const std::function<std::optional<ExportedAccount>(const JSON&)>& account) {
    if (!list.is_array()) {
        return fail(ExportFailure::damaged);
    }
    ImportBatch batch;
    for (const auto& element : list) {
        const auto exported = account(element);
        if (!exported) {
            return fail(ExportFailure::damaged);
        }
        ExportedAccounts::add(batch, *exported);
    }
    return batch;
}

} // namespace zemlar::ExportReading
