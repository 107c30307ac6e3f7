// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace zemlar {

/// The value 0 to 15 of a hexadecimal digit in either case; -1 for any other character.
constexpr int hexDigitValue(char character) {
    if (character >= '0' && character <= '9') {
        return character - '0';
    }
    if (character >= 'a' && character <= 'f') {
        return character - 'a' + 10;
    }
    if (character >= 'A' && character <= 'F') {
        return character - 'A' + 10;
    }
    return -1;
}

} // namespace zemlar
