// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShortcutSpelling.hpp"

#include <KeyboardShortcuts/KeyMapping.hpp>
#include <QStringList>

// Xlib last: its macros clash with Qt's names. Only its keysym names are used, no display.
#include <X11/Xlib.h>

namespace zemlar::ShortcutSpelling {

QString modifiers(const KeyboardShortcuts::Shortcut& shortcut, const ModifierNames& names,
                  const QString& joiner) {
    namespace Modifier = KeyboardShortcuts::CarbonModifier;
    const std::array<int, 4> bits{Modifier::command, Modifier::option, Modifier::shift,
                                  Modifier::control};
    QStringList present;
    for (std::size_t index = 0; index < bits.size(); ++index) {
        if ((shortcut.carbonModifiers & bits[index]) != 0) {
            present.append(QString::fromLatin1(names[index]));
        }
    }
    return present.join(joiner);
}

std::optional<QString> keyName(const KeyboardShortcuts::Shortcut& shortcut) {
    const auto keysym =
        KeyboardShortcuts::KeyMapping::keysymForCarbonKeyCode(shortcut.carbonKeyCode);
    const char* name = keysym ? XKeysymToString(*keysym) : nullptr;
    if (name == nullptr) {
        return std::nullopt;
    }
    return QString::fromLatin1(name);
}

std::optional<QString> spell(const KeyboardShortcuts::Shortcut& shortcut,
                             const ModifierNames& names, const QString& joiner) {
    const auto key = keyName(shortcut);
    if (!key) {
        return std::nullopt;
    }
    const QString held = modifiers(shortcut, names, joiner);
    return held.isEmpty() ? *key : held + joiner + *key;
}

} // namespace zemlar::ShortcutSpelling
