// SPDX-License-Identifier: GPL-3.0-or-later
#include <Wayland/ShortcutSetup.hpp>
#include <gtest/gtest.h>

using namespace zemlar;
using Desktop = ShortcutSetup::Desktop;
namespace Modifier = KeyboardShortcuts::CarbonModifier;

namespace {

struct Case {
    bool wayland;
    bool portal;
    const char* currentDesktop;
    KeyboardShortcuts::Shortcut shortcut;
    Desktop desktop;
    const char* line; // nullptr: no configuration line
};

constexpr KeyboardShortcuts::Shortcut ctrlAltO{31, Modifier::command | Modifier::option};
constexpr KeyboardShortcuts::Shortcut superShiftF5{96, Modifier::control | Modifier::shift};
constexpr KeyboardShortcuts::Shortcut bareF5{96, 0};

TEST(ShortcutSetup, GivesEachDesktopItsWayToTheShortcut) {
    const Case cases[] = {
        {false, true, "GNOME", ctrlAltO, Desktop::x11, nullptr},
        {true, true, "KDE", ctrlAltO, Desktop::portal, nullptr},
        {true, false, "ubuntu:GNOME", ctrlAltO, Desktop::gnome, nullptr},
        {true, false, "sway", ctrlAltO, Desktop::sway,
         "bindsym Ctrl+Alt+o exec zemlar --toggle-panel"},
        {true, false, "sway", bareF5, Desktop::sway, "bindsym F5 exec zemlar --toggle-panel"},
        {true, false, "Hyprland", superShiftF5, Desktop::hyprland,
         "bind = SHIFT SUPER, F5, exec, zemlar --toggle-panel"},
        {true, false, "river", ctrlAltO, Desktop::river,
         "riverctl map normal Control+Alt o spawn 'zemlar --toggle-panel'"},
        {true, false, "river", bareF5, Desktop::river,
         "riverctl map normal None F5 spawn 'zemlar --toggle-panel'"},
        {true, false, "labwc:wlroots", ctrlAltO, Desktop::labwc,
         R"(<keybind key="C-A-o"><action name="Execute" command="zemlar --toggle-panel"/></keybind>)"},
        {true, false, "Wayfire", ctrlAltO, Desktop::otherWayland, nullptr},
    };
    for (const Case& tested : cases) {
        SCOPED_TRACE(tested.currentDesktop);
        const Desktop desktop = ShortcutSetup::detect(tested.wayland, tested.portal,
                                                      QString::fromLatin1(tested.currentDesktop));
        EXPECT_EQ(desktop, tested.desktop);
        const auto line = ShortcutSetup::make(desktop, tested.shortcut).configLine;
        EXPECT_EQ(line, tested.line ? std::optional(QString::fromLatin1(tested.line))
                                    : std::optional<QString>());
    }
    EXPECT_EQ(ShortcutSetup::gnomeBinding(ctrlAltO), QStringLiteral("<Control><Alt>o"));
}

} // namespace
