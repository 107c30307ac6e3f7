// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortalTrigger.hpp"

#include "Wayland/ShortcutSpelling.hpp"

namespace zemlar::PortalTrigger {

QString text(const KeyboardShortcuts::Shortcut& shortcut) {
    return ShortcutSpelling::spell(shortcut, {"CTRL", "ALT", "SHIFT", "LOGO"}, QStringLiteral("+"))
        .value_or(QString());
}

} // namespace zemlar::PortalTrigger
