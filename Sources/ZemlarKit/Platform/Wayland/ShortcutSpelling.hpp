// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <KeyboardShortcuts/Shortcut.hpp>
#include <QString>
#include <array>
#include <optional>

/// A shortcut written the way a desktop's configuration writes it: the modifiers by the
/// desktop's names, the key by its keysym name ("o", "F5", "space").
namespace zemlar::ShortcutSpelling {

/// The desktop's names for Ctrl, Alt, Shift and Super, in that order.
using ModifierNames = std::array<const char*, 4>;

/// The modifiers present, by the given names, joined by `joiner` (empty without modifiers).
QString modifiers(const KeyboardShortcuts::Shortcut& shortcut, const ModifierNames& names,
                  const QString& joiner);
/// The keysym name of the key; nothing for a key without one.
std::optional<QString> keyName(const KeyboardShortcuts::Shortcut& shortcut);
/// The modifiers and the key joined by `joiner` ("Ctrl+Alt+o"); nothing without a key name.
std::optional<QString> spell(const KeyboardShortcuts::Shortcut& shortcut,
                             const ModifierNames& names, const QString& joiner);

} // namespace zemlar::ShortcutSpelling
