// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/KeyStrokes.hpp"

#include <array>

namespace zemlar::KeyStrokes {

namespace {

/// The top-row key codes of the digits 0 to 9; not in numeric order.
constexpr std::array<std::uint16_t, 10> digitKeyCodes{29, 18, 19, 20, 21, 23, 22, 26, 28, 25};

} // namespace

std::optional<std::vector<KeyStroke>> forCode(std::string_view code, bool pressReturn) {
    if (code.empty()) {
        return std::nullopt;
    }
    std::vector<KeyStroke> strokes;
    strokes.reserve(code.size() + 1);
    for (const char character : code) {
        if (character < '0' || character > '9') {
            return std::nullopt;
        }
        strokes.push_back(
            {digitKeyCodes[static_cast<std::size_t>(character - '0')], std::string(1, character)});
    }
    if (pressReturn) {
        strokes.push_back(returnKey);
    }
    return strokes;
}

} // namespace zemlar::KeyStrokes
