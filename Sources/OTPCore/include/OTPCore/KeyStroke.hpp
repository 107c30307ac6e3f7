// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace zemlar {

/// One key press of a code's typing plan.
struct KeyStroke {
    /// The ANSI keyboard's virtual key code of the key.
    std::uint16_t keyCode = 0;
    /// The one character the press carries.
    std::string text;

    bool operator==(const KeyStroke&) const = default;
};

} // namespace zemlar
