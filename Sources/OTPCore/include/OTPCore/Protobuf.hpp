// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Result.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

/// A minimal reader of the Protocol Buffers wire format: varints, length-delimited fields and
/// skipped fixed-width fields; groups are refused.
namespace zemlar::Protobuf {

/// The content of one field.
class Value {
public:
    enum class Kind { varint, bytes, fixed };

    /// Wire type 0.
    static Value varint(std::uint64_t value) { return {Kind::varint, value, {}}; }
    /// Wire type 2: a copy of the field's content.
    static Value bytes(Bytes content) { return {Kind::bytes, 0, std::move(content)}; }
    /// Wire types 1 and 5: the content is skipped, not kept.
    static Value fixed() { return {Kind::fixed, 0, {}}; }

    Kind kind() const { return kind_; }
    /// The number of a varint; nothing for other kinds.
    std::optional<std::uint64_t> varintValue() const {
        return kind_ == Kind::varint ? std::optional(varint_) : std::nullopt;
    }
    /// The content of a length-delimited field; null for other kinds.
    const Bytes* bytesValue() const { return kind_ == Kind::bytes ? &bytes_ : nullptr; }
    /// Overwrites a length-delimited content with zeros (for contents that held secrets).
    void wipe();
    std::string describe() const;

    bool operator==(const Value&) const = default;

private:
    Value(Kind kind, std::uint64_t varint, Bytes bytes)
        : kind_(kind), varint_(varint), bytes_(std::move(bytes)) {}

    Kind kind_;
    std::uint64_t varint_;
    Bytes bytes_;
};

/// One field of a message: its number (1 to 2^31 - 1) and content.
struct Field {
    std::int64_t number;
    Value value;

    bool operator==(const Field&) const = default;
};

/// The fields of one message in the order they stand, repeated numbers included; nothing unless
/// all of the bytes form well-formed fields. No bytes give no fields.
std::optional<std::vector<Field>> fields(std::span<const std::uint8_t> bytes);

} // namespace zemlar::Protobuf
