// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/UUID.hpp"

#include "HexDigit.hpp"

namespace zemlar {
namespace {

constexpr std::size_t textLength = 36;

bool isHyphenPosition(std::size_t index) {
    return index == 8 || index == 13 || index == 18 || index == 23;
}

} // namespace

std::optional<UUID> UUID::parse(std::string_view text) {
    if (text.size() != textLength) {
        return std::nullopt;
    }
    Storage bytes{};
    std::size_t nibble = 0;
    for (std::size_t index = 0; index < textLength; ++index) {
        if (isHyphenPosition(index)) {
            if (text[index] != '-') {
                return std::nullopt;
            }
            continue;
        }
        const int value = hexDigitValue(text[index]);
        if (value < 0) {
            return std::nullopt;
        }
        auto& byte = bytes[nibble / 2];
        byte = static_cast<std::uint8_t>(nibble % 2 == 0 ? value << 4 : byte | value);
        ++nibble;
    }
    return UUID(bytes);
}

std::string UUID::uuidString() const {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(textLength);
    for (std::size_t index = 0; index < bytes_.size(); ++index) {
        if (index == 4 || index == 6 || index == 8 || index == 10) {
            text.push_back('-');
        }
        text.push_back(digits[bytes_[index] >> 4]);
        text.push_back(digits[bytes_[index] & 0x0F]);
    }
    return text;
}

} // namespace zemlar

std::size_t std::hash<zemlar::UUID>::operator()(const zemlar::UUID& uuid) const noexcept {
    std::size_t value = 0;
    for (const auto byte : uuid.bytes()) {
        value = value * 131 + byte;
    }
    return value;
}
