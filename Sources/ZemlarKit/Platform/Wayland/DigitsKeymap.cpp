// SPDX-License-Identifier: GPL-3.0-or-later
#include "DigitsKeymap.hpp"

#include <OTPCore/KeyStrokes.hpp>

namespace zemlar::DigitsKeymap {
namespace {

// xkb keycodes are evdev codes plus 8: the digits 0 to 9 on evdev codes 1 to 10, Return on 11.
constexpr std::uint32_t firstDigitKey = 1;
constexpr std::uint32_t returnKey = 11;

constexpr std::string_view keymap = R"(xkb_keymap {
xkb_keycodes "zemlar-digits" {
    minimum = 8;
    maximum = 255;
    <D0> = 9; <D1> = 10; <D2> = 11; <D3> = 12; <D4> = 13;
    <D5> = 14; <D6> = 15; <D7> = 16; <D8> = 17; <D9> = 18;
    <RTRN> = 19;
};
xkb_types "zemlar-digits" {
    type "ONE_LEVEL" {
        modifiers = none;
        level_name[Level1] = "Any";
    };
};
xkb_compatibility "zemlar-digits" {
};
xkb_symbols "zemlar-digits" {
    key <D0> { [ 0 ] }; key <D1> { [ 1 ] }; key <D2> { [ 2 ] }; key <D3> { [ 3 ] };
    key <D4> { [ 4 ] }; key <D5> { [ 5 ] }; key <D6> { [ 6 ] }; key <D7> { [ 7 ] };
    key <D8> { [ 8 ] }; key <D9> { [ 9 ] };
    key <RTRN> { [ Return ] };
};
};
)";

} // namespace

std::string_view text() {
    return keymap;
}

std::optional<std::uint32_t> keyFor(const KeyStroke& stroke) {
    if (stroke == KeyStrokes::returnKey) {
        return returnKey;
    }
    if (stroke.text.size() != 1 || stroke.text[0] < '0' || stroke.text[0] > '9') {
        return std::nullopt;
    }
    return firstDigitKey + static_cast<std::uint32_t>(stroke.text[0] - '0');
}

} // namespace zemlar::DigitsKeymap
