// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/Base32.hpp"

#include "OTPCore/Crypto.hpp"

#include <array>

namespace zemlar::Base32 {
namespace {

constexpr std::int8_t ignored = -2;
constexpr std::int8_t invalid = -1;

// Value 0 to 31 of every byte, or `ignored` / `invalid`; lower case maps like upper case.
constexpr std::array<std::int8_t, 256> makeDecodingTable() {
    std::array<std::int8_t, 256> table{};
    table.fill(invalid);
    for (std::size_t value = 0; value < alphabet.size(); ++value) {
        const auto letter = static_cast<unsigned char>(alphabet[value]);
        table[letter] = static_cast<std::int8_t>(value);
        if (letter >= 'A' && letter <= 'Z') {
            table[letter + ('a' - 'A')] = static_cast<std::int8_t>(value);
        }
    }
    for (const unsigned char separator : {' ', '-', '=', '\t', '\n', '\r'}) {
        table[separator] = ignored;
    }
    return table;
}

constexpr auto decodingTable = makeDecodingTable();

} // namespace

std::optional<Bytes> decode(std::string_view text) {
    Bytes bytes;
    bytes.reserve(text.size() * 5 / 8);
    std::uint32_t accumulator = 0;
    int bitCount = 0;
    for (const char character : text) {
        const std::int8_t value = decodingTable[static_cast<unsigned char>(character)];
        if (value == ignored) {
            continue;
        }
        if (value == invalid) {
            Crypto::wipe(bytes);
            return std::nullopt;
        }
        accumulator = (accumulator << 5) | static_cast<std::uint32_t>(value);
        bitCount += 5;
        if (bitCount >= 8) {
            bitCount -= 8;
            bytes.push_back(static_cast<std::uint8_t>(accumulator >> bitCount));
        }
        accumulator &= (1u << bitCount) - 1;
    }
    if (bytes.empty()) {
        return std::nullopt;
    }
    return bytes;
}

std::string encode(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve((bytes.size() * 8 + 4) / 5);
    std::uint32_t accumulator = 0;
    int bitCount = 0;
    for (const std::uint8_t byte : bytes) {
        accumulator = (accumulator << 8) | byte;
        bitCount += 8;
        while (bitCount >= 5) {
            bitCount -= 5;
            text.push_back(alphabet[(accumulator >> bitCount) & 0x1F]);
        }
        accumulator &= (1u << bitCount) - 1;
    }
    if (bitCount > 0) {
        text.push_back(alphabet[(accumulator << (5 - bitCount)) & 0x1F]);
    }
    return text;
}

} // namespace zemlar::Base32
