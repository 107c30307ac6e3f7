// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <KeyboardShortcuts/Shortcut.hpp>
#include <QString>
#include <optional>

namespace zemlar {

/// How the panel shortcut is set up on the desktop in use. On X11 Zemlar grabs the keys itself;
/// on Wayland the desktop binds them: through the GlobalShortcuts portal where it is offered,
/// otherwise by running `zemlar --toggle-panel` from a binding in the compositor's configuration
/// or, on GNOME, a custom shortcut.
struct ShortcutSetup {
    enum class Desktop { x11, portal, gnome, sway, hyprland, river, labwc, otherWayland };

    static constexpr const char* command = "zemlar --toggle-panel";

    Desktop desktop = Desktop::x11;
    /// The line that binds the shortcut in the compositor's configuration, where it has one.
    std::optional<QString> configLine;
    /// Where that line goes, as a path the user reads ("~/.config/sway/config").
    QString configFile;

    /// The desktop from the session type, whether the portal is offered and
    /// XDG_CURRENT_DESKTOP (a colon-separated list, compared without regard to case).
    static Desktop detect(bool wayland, bool portalOffered, const QString& currentDesktop);
    /// The setup for the desktop with the stored shortcut.
    static ShortcutSetup make(Desktop desktop, const KeyboardShortcuts::Shortcut& shortcut);
    /// The shortcut as GNOME's keybinding settings write it ("<Control><Alt>o").
    static std::optional<QString> gnomeBinding(const KeyboardShortcuts::Shortcut& shortcut);

    bool operator==(const ShortcutSetup&) const = default;
};

} // namespace zemlar
