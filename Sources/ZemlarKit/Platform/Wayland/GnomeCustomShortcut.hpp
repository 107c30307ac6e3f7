// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

/// GNOME's custom keyboard shortcuts (the media-keys settings of gnome-settings-daemon),
/// written through GSettings. No Qt here: GLib's headers and Qt's keywords do not mix.
namespace zemlar::GnomeCustomShortcut {

/// Whether GNOME's keybinding settings are installed.
bool available();

/// Adds, or updates, Zemlar's own custom shortcut running `command` on `binding`
/// ("<Control><Alt>o"), keeping every other custom shortcut; whether it was stored.
bool add(const std::string& name, const std::string& command, const std::string& binding);

} // namespace zemlar::GnomeCustomShortcut
