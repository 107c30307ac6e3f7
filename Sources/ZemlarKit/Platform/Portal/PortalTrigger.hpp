// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <KeyboardShortcuts/Shortcut.hpp>
#include <QString>

/// Shortcuts in the trigger format of the desktop portals: modifiers in upper case, then the
/// key's keysym name, joined by "+" ("CTRL+ALT+o"). Super is "LOGO".
namespace zemlar::PortalTrigger {

/// Empty for a key without a keysym.
QString text(const KeyboardShortcuts::Shortcut& shortcut);

} // namespace zemlar::PortalTrigger
