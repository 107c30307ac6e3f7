// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/KeyStroke.hpp"

#include <optional>
#include <string_view>
#include <vector>

/// Which keys to press for a code.
namespace zemlar::KeyStrokes {

/// Return, carrying a carriage return.
inline const KeyStroke returnKey{36, "\r"};

/// One stroke per ASCII digit, in order, then Return when asked; nothing when the code is empty
/// or holds anything but the digits 0 to 9 (blanks included).
std::optional<std::vector<KeyStroke>> forCode(std::string_view code, bool pressReturn);

} // namespace zemlar::KeyStrokes
