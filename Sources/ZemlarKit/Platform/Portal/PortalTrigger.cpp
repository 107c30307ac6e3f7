// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortalTrigger.hpp"

#include <KeyboardShortcuts/KeyMapping.hpp>
#include <QStringList>

// Xlib last: its macros clash with Qt's names.
#include <X11/Xlib.h>

namespace zemlar::PortalTrigger {

QString text(const KeyboardShortcuts::Shortcut& shortcut) {
    namespace Modifier = KeyboardShortcuts::CarbonModifier;
    const auto keysym =
        KeyboardShortcuts::KeyMapping::keysymForCarbonKeyCode(shortcut.carbonKeyCode);
    const char* name = keysym ? XKeysymToString(*keysym) : nullptr;
    if (name == nullptr) {
        return {};
    }
    QStringList parts;
    const std::pair<int, const char*> modifiers[] = {{Modifier::command, "CTRL"},
                                                     {Modifier::option, "ALT"},
                                                     {Modifier::shift, "SHIFT"},
                                                     {Modifier::control, "LOGO"}};
    for (const auto& [bit, modifierName] : modifiers) {
        if ((shortcut.carbonModifiers & bit) != 0) {
            parts.append(QString::fromLatin1(modifierName));
        }
    }
    parts.append(QString::fromLatin1(name));
    return parts.join(QLatin1Char('+'));
}

} // namespace zemlar::PortalTrigger
