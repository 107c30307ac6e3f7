// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/Base64.hpp"

#include <array>

namespace zemlar::Base64 {
namespace {

constexpr std::string_view alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr int invalid = -1;

constexpr std::array<int, 256> makeValues() {
    std::array<int, 256> values{};
    values.fill(invalid);
    for (std::size_t index = 0; index < alphabet.size(); ++index) {
        values[static_cast<unsigned char>(alphabet[index])] = static_cast<int>(index);
    }
    return values;
}

constexpr std::array<int, 256> values = makeValues();

int valueOf(char character) {
    return values[static_cast<unsigned char>(character)];
}

} // namespace

std::string encode(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t index = 0;
    for (; index + 3 <= bytes.size(); index += 3) {
        const std::uint32_t group = (std::uint32_t{bytes[index]} << 16) |
                                    (std::uint32_t{bytes[index + 1]} << 8) | bytes[index + 2];
        for (int shift = 18; shift >= 0; shift -= 6) {
            text.push_back(alphabet[(group >> shift) & 0x3F]);
        }
    }
    const std::size_t rest = bytes.size() - index;
    if (rest > 0) {
        std::uint32_t group = std::uint32_t{bytes[index]} << 16;
        if (rest == 2) {
            group |= std::uint32_t{bytes[index + 1]} << 8;
        }
        text.push_back(alphabet[(group >> 18) & 0x3F]);
        text.push_back(alphabet[(group >> 12) & 0x3F]);
        text.push_back(rest == 2 ? alphabet[(group >> 6) & 0x3F] : '=');
        text.push_back('=');
    }
    return text;
}

std::optional<Bytes> decode(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::size_t padding = 0;
    if (!text.empty() && text.back() == '=') {
        padding = text[text.size() - 2] == '=' ? 2 : 1;
    }
    Bytes bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t index = 0; index < text.size(); index += 4) {
        const bool last = index + 4 == text.size();
        const std::size_t letters = last ? 4 - padding : 4;
        std::uint32_t group = 0;
        for (std::size_t offset = 0; offset < 4; ++offset) {
            const int value = offset < letters ? valueOf(text[index + offset]) : 0;
            if (value == invalid) {
                return std::nullopt;
            }
            group = (group << 6) | static_cast<std::uint32_t>(value);
        }
        // Bits below the last whole byte must be zero, so every byte string has one text.
        const std::uint32_t unusedBits = letters == 2 ? 0xFFFF : letters == 3 ? 0xFF : 0;
        if ((group & unusedBits) != 0) {
            return std::nullopt;
        }
        const std::size_t byteCount = letters - 1;
        for (std::size_t byte = 0; byte < byteCount; ++byte) {
            bytes.push_back(static_cast<std::uint8_t>(group >> (16 - 8 * byte)));
        }
    }
    return bytes;
}

} // namespace zemlar::Base64
