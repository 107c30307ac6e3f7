// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/Base64.hpp"

#include "OTPCore/Crypto.hpp"

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

std::size_t encodedLength(std::size_t byteCount) {
    return (byteCount + 2) / 3 * 4;
}

// Writes encodedLength(bytes.size()) characters at `out`.
void encodeTo(std::span<const std::uint8_t> bytes, char* out) {
    std::size_t index = 0;
    for (; index + 3 <= bytes.size(); index += 3) {
        const std::uint32_t group = (std::uint32_t{bytes[index]} << 16) |
                                    (std::uint32_t{bytes[index + 1]} << 8) | bytes[index + 2];
        *out++ = alphabet[(group >> 18) & 0x3F];
        *out++ = alphabet[(group >> 12) & 0x3F];
        *out++ = alphabet[(group >> 6) & 0x3F];
        *out++ = alphabet[group & 0x3F];
    }
    const std::size_t rest = bytes.size() - index;
    if (rest > 0) {
        std::uint32_t group = std::uint32_t{bytes[index]} << 16;
        if (rest == 2) {
            group |= std::uint32_t{bytes[index + 1]} << 8;
        }
        *out++ = alphabet[(group >> 18) & 0x3F];
        *out++ = alphabet[(group >> 12) & 0x3F];
        *out++ = rest == 2 ? alphabet[(group >> 6) & 0x3F] : '=';
        *out = '=';
    }
}

} // namespace

std::string encode(std::span<const std::uint8_t> bytes) {
    std::string text(encodedLength(bytes.size()), '\0');
    encodeTo(bytes, text.data());
    return text;
}

void appendEncoded(std::span<const std::uint8_t> bytes, Bytes& output) {
    const std::size_t start = output.size();
    output.resize(start + encodedLength(bytes.size()));
    encodeTo(bytes, reinterpret_cast<char*>(output.data() + start));
}

std::optional<Bytes> decode(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::size_t padding = 0;
    if (!text.empty() && text.back() == '=') {
        padding = text[text.size() - 2] == '=' ? 2 : 1;
    }
    Bytes bytes(text.size() / 4 * 3 - padding);
    std::uint8_t* out = bytes.data();
    for (std::size_t index = 0; index < text.size(); index += 4) {
        const bool last = index + 4 == text.size();
        const std::size_t letters = last ? 4 - padding : 4;
        std::uint32_t group = 0;
        for (std::size_t offset = 0; offset < 4; ++offset) {
            const int value = offset < letters ? valueOf(text[index + offset]) : 0;
            if (value == invalid) {
                Crypto::wipe(bytes);
                return std::nullopt;
            }
            group = (group << 6) | static_cast<std::uint32_t>(value);
        }
        // Bits below the last whole byte must be zero, so every byte string has one text.
        const std::uint32_t unusedBits = letters == 2 ? 0xFFFF : letters == 3 ? 0xFF : 0;
        if ((group & unusedBits) != 0) {
            Crypto::wipe(bytes);
            return std::nullopt;
        }
        for (std::size_t byte = 0; byte + 1 < letters; ++byte) {
            *out++ = static_cast<std::uint8_t>(group >> (16 - 8 * byte));
        }
    }
    return bytes;
}

} // namespace zemlar::Base64
