// SPDX-License-Identifier: GPL-3.0-or-later
#include "JavaSerialMap.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zemlar::JavaSerialMap {
namespace {

constexpr std::array<std::uint8_t, 4> magic = {0xAC, 0xED, 0x00, 0x05};
constexpr std::uint8_t nullMark = 0x70;
constexpr std::uint8_t referenceMark = 0x71;
constexpr std::uint8_t classDescriptionMark = 0x72;
constexpr std::uint8_t objectMark = 0x73;
constexpr std::uint8_t stringMark = 0x74;
constexpr std::uint8_t blockDataMark = 0x77;
constexpr std::uint8_t endBlockMark = 0x78;
constexpr std::uint8_t longStringMark = 0x7C;
constexpr std::uint32_t firstHandle = 0x7E0000;
constexpr std::string_view mapClass = "java.util.HashMap";

/// A cursor over the stream; every read fails once past the end.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::optional<std::uint64_t> number(std::size_t length) {
        if (bytes_.size() - offset_ < length) {
            return std::nullopt;
        }
        std::uint64_t value = 0;
        for (std::size_t index = 0; index < length; ++index) {
            value = (value << 8) | bytes_[offset_++];
        }
        return value;
    }
    bool expect(std::uint8_t mark) { return number(1) == mark; }
    bool skip(std::size_t length) {
        if (bytes_.size() - offset_ < length) {
            return false;
        }
        offset_ += length;
        return true;
    }
    std::optional<std::string> text(std::uint64_t length) {
        if (bytes_.size() - offset_ < length) {
            return std::nullopt;
        }
        std::string value(bytes_.begin() + static_cast<std::ptrdiff_t>(offset_),
                          bytes_.begin() + static_cast<std::ptrdiff_t>(offset_ + length));
        offset_ += length;
        return value;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
};

/// Every object the stream defines, by handle, with the text of those that are strings.
using Handles = std::vector<std::optional<std::string>>;

std::optional<std::string> stringObject(Reader& reader, Handles& handles) {
    const auto mark = reader.number(1);
    std::optional<std::uint64_t> length;
    if (mark == stringMark) {
        length = reader.number(2);
    } else if (mark == longStringMark) {
        length = reader.number(8);
    } else if (mark == referenceMark) {
        const auto handle = reader.number(4);
        if (!handle || *handle < firstHandle || *handle - firstHandle >= handles.size()) {
            return std::nullopt;
        }
        return handles[*handle - firstHandle];
    }
    auto value = length ? reader.text(*length) : std::nullopt;
    if (value) {
        handles.push_back(value);
    }
    return value;
}

std::size_t primitiveSize(std::uint8_t type) {
    switch (type) {
    case 'B':
    case 'Z':
        return 1;
    case 'C':
    case 'S':
        return 2;
    case 'F':
    case 'I':
        return 4;
    case 'D':
    case 'J':
        return 8;
    default:
        return 0;
    }
}

/// The HashMap's class description; the size of its primitive field values after it.
std::optional<std::size_t> mapDescription(Reader& reader, Handles& handles) {
    const auto nameLength = reader.number(2);
    const auto name = nameLength ? reader.text(*nameLength) : std::nullopt;
    handles.emplace_back(); // the class description
    const auto fieldCount = reader.skip(9) ? reader.number(2) : std::nullopt;
    if (name != mapClass || !fieldCount) {
        return std::nullopt;
    }
    std::size_t valuesSize = 0;
    for (std::uint64_t field = 0; field < *fieldCount; ++field) {
        const auto type = reader.number(1);
        const auto fieldNameLength = reader.number(2);
        if (!type || !fieldNameLength || !reader.skip(*fieldNameLength)) {
            return std::nullopt;
        }
        const std::size_t size = primitiveSize(static_cast<std::uint8_t>(*type));
        if (size == 0) {
            return std::nullopt; // a HashMap has primitive fields only
        }
        valuesSize += size;
    }
    if (!reader.expect(endBlockMark) || !reader.expect(nullMark)) {
        return std::nullopt;
    }
    handles.emplace_back(); // the map itself
    return valuesSize;
}

} // namespace

bool isStream(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
}

std::optional<std::vector<std::pair<std::string, std::string>>>
entries(std::span<const std::uint8_t> stream) {
    if (!isStream(stream)) {
        return std::nullopt;
    }
    Reader reader(stream.subspan(magic.size()));
    Handles handles;
    if (!reader.expect(objectMark) || !reader.expect(classDescriptionMark)) {
        return std::nullopt;
    }
    const auto valuesSize = mapDescription(reader, handles);
    if (!valuesSize || !reader.skip(*valuesSize) || !reader.expect(blockDataMark)) {
        return std::nullopt;
    }
    const auto blockLength = reader.number(1);
    const auto size = reader.skip(4) ? reader.number(4) : std::nullopt;
    if (!blockLength || *blockLength < 8 || !size || !reader.skip(*blockLength - 8)) {
        return std::nullopt;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::uint64_t index = 0; index < *size; ++index) {
        auto key = stringObject(reader, handles);
        auto value = stringObject(reader, handles);
        if (!key || !value) {
            return std::nullopt;
        }
        pairs.emplace_back(std::move(*key), std::move(*value));
    }
    if (!reader.expect(endBlockMark)) {
        return std::nullopt;
    }
    return pairs;
}

} // namespace zemlar::JavaSerialMap
