// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <X11/Xlib.h>
#include <array>

/// Which keys are down on the X server's keyboards.
namespace zemlar::X11HeldKeys {

/// One bit per keycode, as XQueryKeymap and XQueryDeviceState give them.
using KeyBits = std::array<char, 32>;

inline bool isDown(const KeyBits& keys, KeyCode key) {
    return (static_cast<unsigned char>(keys[key / 8]) >> (key % 8)) & 1;
}

/// The keys held down on the real keyboards behind this connection's master keyboard: what the
/// user's hands hold. The server keeps a key state for every slave device besides the merged
/// one of the master. Our fake releases and presses arrive through XTEST's slave device and
/// change only its state and the master's, so the other slaves keep showing what is physically
/// held, and our own events are never taken for the user's. Keys held through XTEST by another
/// client (xdotool, a remote desktop server) cannot be told from ours and count as not held.
/// Nothing is held without XInput 2.
KeyBits physicallyHeld(Display* display);

} // namespace zemlar::X11HeldKeys
