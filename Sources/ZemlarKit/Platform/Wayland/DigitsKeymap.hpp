// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/KeyStroke.hpp>
#include <cstdint>
#include <optional>
#include <string_view>

/// A keyboard of our own that holds only the ten digits and Return, each on a key of its own at
/// the first level: whatever layout the user has, these keys produce exactly these symbols.
namespace zemlar::DigitsKeymap {

/// The keymap in xkbcommon's text format (wl_keyboard keymap format xkb_v1).
std::string_view text();

/// The key (an evdev code, as key events carry) that types the stroke's character; none for
/// any other character.
std::optional<std::uint32_t> keyFor(const KeyStroke& stroke);

} // namespace zemlar::DigitsKeymap
