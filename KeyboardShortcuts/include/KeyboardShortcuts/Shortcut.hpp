// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace zemlar::KeyboardShortcuts {

/// Modifier bits of the stored format (the classic Mac event modifier mask). On Linux Command is
/// Ctrl, Option is Alt and Control is Super; Caps Lock never takes part in a shortcut.
namespace CarbonModifier {
inline constexpr int command = 1 << 8;
inline constexpr int shift = 1 << 9;
inline constexpr int capsLock = 1 << 10;
inline constexpr int option = 1 << 11;
inline constexpr int control = 1 << 12;
/// The bits a shortcut may carry.
inline constexpr int all = command | shift | option | control;
} // namespace CarbonModifier

/// A key and its modifiers, kept in the stored format: the virtual key code of the ANSI keyboard
/// (`carbonKeyCode`) and the modifier mask above (`carbonModifiers`).
struct Shortcut {
    int carbonKeyCode = 0;
    int carbonModifiers = 0;

    bool operator==(const Shortcut&) const = default;

    /// The stored text: the compact JSON object {"carbonKeyCode":…,"carbonModifiers":…}.
    QString jsonString() const;
    /// Reads the stored text; anything but a JSON object with two integer fields gives nothing.
    static std::optional<Shortcut> fromJSONString(const QString& text);

    /// The shortcut as a Linux user reads it, e.g. "Ctrl+Alt+O" (order Ctrl, Alt, Shift, Super).
    QString description() const;
    /// The modifiers alone, e.g. "Ctrl+Alt+" (empty without modifiers).
    static QString modifiersDescription(int carbonModifiers);
};

} // namespace zemlar::KeyboardShortcuts
