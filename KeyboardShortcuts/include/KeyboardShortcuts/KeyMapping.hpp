// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <Qt>
#include <optional>

/// Translations between the stored key format and the keys of X11 and Qt.
namespace zemlar::KeyboardShortcuts::KeyMapping {

/// X11 modifier bits (the core protocol's masks, repeated here so that no caller needs Xlib).
namespace XMask {
inline constexpr unsigned shift = 1U << 0;
inline constexpr unsigned lock = 1U << 1;
inline constexpr unsigned control = 1U << 2;
inline constexpr unsigned mod1 = 1U << 3; // Alt
inline constexpr unsigned mod2 = 1U << 4; // NumLock on most keymaps
inline constexpr unsigned mod4 = 1U << 6; // Super
} // namespace XMask

/// The X keysym of a virtual key code (letters, digits, F1–F20, space, return, tab, escape,
/// backspace, forward delete, home, end, page up/down, arrows, ANSI punctuation).
std::optional<unsigned long> keysymForCarbonKeyCode(int carbonKeyCode);
/// The virtual key code of an X keysym (either case for letters).
std::optional<int> carbonKeyCodeForKeysym(unsigned long keysym);

/// The virtual key code of a Qt key; shifted ANSI symbols ("!" and so on) give their key.
std::optional<int> carbonKeyCodeForQtKey(int qtKey);

/// The name of a key as shown to the user ("O", "F5", "Space", "←", "=").
std::optional<QString> keyName(int carbonKeyCode);

/// Whether the key is a function key F1–F20 (valid as a shortcut without modifiers).
bool isFunctionKey(int carbonKeyCode);

/// Command → Control, Option → Mod1 (Alt), Control → Mod4 (Super), Shift → Shift.
unsigned xMaskForCarbonModifiers(int carbonModifiers);
/// The inverse; lock and NumLock bits are ignored.
int carbonModifiersForXMask(unsigned xMask);

/// Ctrl → Command, Alt → Option, Meta (Super) → Control, Shift → Shift; the keypad flag is
/// ignored.
int carbonModifiersForQt(Qt::KeyboardModifiers modifiers);
Qt::KeyboardModifiers qtModifiersForCarbon(int carbonModifiers);

} // namespace zemlar::KeyboardShortcuts::KeyMapping
