// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShortcutSetup.hpp"

#include "ShortcutSpelling.hpp"

#include <QStringList>
#include <array>

namespace zemlar {
namespace {

using Desktop = ShortcutSetup::Desktop;

struct Compositor {
    Desktop desktop;
    /// Its name in XDG_CURRENT_DESKTOP, in lower case.
    const char* name;
    const char* configFile;
    ShortcutSpelling::ModifierNames modifiers;
    /// Joins the modifiers.
    const char* joiner;
    /// Stands for no modifiers at all, where the syntax needs a word.
    const char* noModifiers;
    /// %1 the modifiers, %2 the key, %3 the command.
    const char* line;
};

const std::array<Compositor, 4> compositors{{
    {Desktop::sway,
     "sway",
     "~/.config/sway/config",
     {"Ctrl", "Alt", "Shift", "Mod4"},
     "+",
     "",
     "bindsym %1+%2 exec %3"},
    {Desktop::hyprland,
     "hyprland",
     "~/.config/hypr/hyprland.conf",
     {"CTRL", "ALT", "SHIFT", "SUPER"},
     " ",
     "",
     "bind = %1, %2, exec, %3"},
    {Desktop::river,
     "river",
     "~/.config/river/init",
     {"Control", "Alt", "Shift", "Super"},
     "+",
     "None",
     "riverctl map normal %1 %2 spawn '%3'"},
    {Desktop::labwc,
     "labwc",
     "~/.config/labwc/rc.xml",
     {"C", "A", "S", "W"},
     "-",
     "",
     R"(<keybind key="%1-%2"><action name="Execute" command="%3"/></keybind>)"},
}};

const Compositor* compositorFor(Desktop desktop) {
    for (const Compositor& compositor : compositors) {
        if (compositor.desktop == desktop) {
            return &compositor;
        }
    }
    return nullptr;
}

std::optional<QString> line(const Compositor& compositor,
                            const KeyboardShortcuts::Shortcut& shortcut) {
    const auto key = ShortcutSpelling::keyName(shortcut);
    if (!key) {
        return std::nullopt;
    }
    QString held = ShortcutSpelling::modifiers(shortcut, compositor.modifiers,
                                               QString::fromLatin1(compositor.joiner));
    if (held.isEmpty()) {
        held = QString::fromLatin1(compositor.noModifiers);
    }
    QString text = QString::fromLatin1(compositor.line)
                       .arg(held, *key, QString::fromLatin1(ShortcutSetup::command));
    // Without modifiers sway and labwc take the key alone.
    text.replace(QStringLiteral(" +"), QStringLiteral(" "))
        .replace(QStringLiteral("\"-"), QStringLiteral("\""));
    return text;
}

} // namespace

Desktop ShortcutSetup::detect(bool wayland, bool portalOffered, const QString& currentDesktop) {
    if (!wayland) {
        return Desktop::x11;
    }
    if (portalOffered) {
        return Desktop::portal;
    }
    const QStringList names = currentDesktop.toLower().split(QLatin1Char(':'));
    if (names.contains(QStringLiteral("gnome"))) {
        return Desktop::gnome;
    }
    for (const Compositor& compositor : compositors) {
        if (names.contains(QString::fromLatin1(compositor.name))) {
            return compositor.desktop;
        }
    }
    return Desktop::otherWayland;
}

ShortcutSetup ShortcutSetup::make(Desktop desktop, const KeyboardShortcuts::Shortcut& shortcut) {
    ShortcutSetup setup;
    setup.desktop = desktop;
    if (const Compositor* compositor = compositorFor(desktop)) {
        setup.configLine = line(*compositor, shortcut);
        setup.configFile = QString::fromLatin1(compositor->configFile);
    }
    return setup;
}

std::optional<QString> ShortcutSetup::gnomeBinding(const KeyboardShortcuts::Shortcut& shortcut) {
    return ShortcutSpelling::spell(shortcut, {"<Control>", "<Alt>", "<Shift>", "<Super>"},
                                   QString());
}

} // namespace zemlar
