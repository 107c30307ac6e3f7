// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/Protobuf.hpp"

#include "OTPCore/Crypto.hpp"

namespace zemlar::Protobuf {
namespace {

constexpr std::size_t maximumVarintLength = 10;
constexpr std::uint64_t smallestKey = 8;
constexpr std::uint64_t keyLimit = std::uint64_t{1} << 34;

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool atEnd() const { return position_ == bytes_.size(); }
    std::size_t remaining() const { return bytes_.size() - position_; }

    std::optional<std::uint64_t> varint() {
        std::uint64_t value = 0;
        for (std::size_t index = 0; index < maximumVarintLength; ++index) {
            if (atEnd()) {
                return std::nullopt;
            }
            const std::uint8_t byte = bytes_[position_++];
            const bool last = index == maximumVarintLength - 1;
            if (last && (byte & 0x80) != 0) {
                return std::nullopt;
            }
            value |= static_cast<std::uint64_t>(last ? byte & 0x01 : byte & 0x7F) << (7 * index);
            if ((byte & 0x80) == 0) {
                return value;
            }
        }
        return std::nullopt;
    }

    bool skip(std::size_t count) {
        if (remaining() < count) {
            return false;
        }
        position_ += count;
        return true;
    }

    std::optional<Bytes> take(std::uint64_t count) {
        if (remaining() < count) {
            return std::nullopt;
        }
        const auto start = bytes_.begin() + static_cast<std::ptrdiff_t>(position_);
        position_ += static_cast<std::size_t>(count);
        return Bytes(start, start + static_cast<std::ptrdiff_t>(count));
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

std::optional<Value> readValue(Reader& reader, std::uint64_t wireType) {
    switch (wireType) {
    case 0:
        if (const auto value = reader.varint()) {
            return Value::varint(*value);
        }
        return std::nullopt;
    case 1:
        return reader.skip(8) ? std::optional(Value::fixed()) : std::nullopt;
    case 2: {
        const auto length = reader.varint();
        if (!length) {
            return std::nullopt;
        }
        if (auto content = reader.take(*length)) {
            return Value::bytes(std::move(*content));
        }
        return std::nullopt;
    }
    case 5:
        return reader.skip(4) ? std::optional(Value::fixed()) : std::nullopt;
    default:
        return std::nullopt;
    }
}

void wipeAll(std::vector<Field>& fields) {
    for (Field& field : fields) {
        field.value.wipe();
    }
}

} // namespace

void Value::wipe() {
    Crypto::wipe(bytes_);
}

std::string Value::describe() const {
    switch (kind_) {
    case Kind::varint:
        return "varint(" + std::to_string(varint_) + ")";
    case Kind::bytes:
        return "bytes(" + std::to_string(bytes_.size()) + " bytes)";
    case Kind::fixed:
        return "fixed";
    }
    return "fixed";
}

std::optional<std::vector<Field>> fields(std::span<const std::uint8_t> bytes) {
    Reader reader(bytes);
    std::vector<Field> result;
    while (!reader.atEnd()) {
        const auto key = reader.varint();
        std::optional<Value> value;
        if (key && *key >= smallestKey && *key < keyLimit) {
            value = readValue(reader, *key % 8);
        }
        if (!value) {
            wipeAll(result);
            return std::nullopt;
        }
        result.push_back({static_cast<std::int64_t>(*key / 8), std::move(*value)});
    }
    return result;
}

} // namespace zemlar::Protobuf
