// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop session offers: its platform, window blending, the way to bind the shortcut,
// and typing.
#include "QtTestSupport.hpp"

#include <DisplaySession.hpp>
#include <QCoroTask>
#include <TestSupport/ScopedEnvironment.hpp>
#include <Wayland/ShortcutSetup.hpp>
#include <ZemlarKit/Compositing.hpp>
#include <ZemlarKit/DeliveryError.hpp>
#include <ZemlarKit/TypingDelivery.hpp>
#include <gtest/gtest.h>

using namespace zemlar;
using zemlar::testing::ScopedEnvironment;
using Desktop = ShortcutSetup::Desktop;
namespace Modifier = KeyboardShortcuts::CarbonModifier;

namespace {

TEST(DisplaySession, AWaylandSessionRunsOnWaylandUnlessAPlatformIsChosen) {
    struct Case {
        const char* chosen;
        const char* waylandDisplay;
        const char* platform;
        DisplaySession::Kind kind;
    };
    for (const Case& example : {
             Case{nullptr, "wayland-0", "wayland;xcb", DisplaySession::Kind::wayland},
             Case{nullptr, nullptr, "xcb", DisplaySession::Kind::x11},
             Case{"offscreen", "wayland-0", "offscreen", DisplaySession::Kind::x11},
             Case{"wayland-egl", nullptr, "wayland-egl", DisplaySession::Kind::wayland},
         }) {
        const ScopedEnvironment chosen("QT_QPA_PLATFORM", example.chosen);
        const ScopedEnvironment display("WAYLAND_DISPLAY", example.waylandDisplay);
        EXPECT_EQ(DisplaySession::qtPlatform(), example.platform);
        EXPECT_EQ(DisplaySession::current(), example.kind) << example.platform;
    }
    // Wayland always blends windows, X11 only with a compositing manager, others never.
    EXPECT_TRUE(Compositing::blendsWindows("wayland", false));
    EXPECT_TRUE(Compositing::blendsWindows("xcb", true));
    EXPECT_FALSE(Compositing::blendsWindows("xcb", false));
    EXPECT_FALSE(Compositing::blendsWindows("offscreen", true));
}

TEST(TypingDelivery, IsDeniedWithoutAnXDisplayOrAVirtualKeyboardEvenForAnInvalidCode) {
    zemlar::testing::ensureCoreApplication();
    for (const char* display : {static_cast<const char*>(nullptr), ":9917"}) {
        const ScopedEnvironment variable("DISPLAY", display);
        TypingDelivery delivery;
        EXPECT_EQ(delivery.prepare(), fail(DeliveryError::accessibilityDenied()));
        EXPECT_EQ(QCoro::waitFor(delivery.deliver("12 34")),
                  fail(DeliveryError::accessibilityDenied()));
    }
    const ScopedEnvironment platform("QT_QPA_PLATFORM", "wayland");
    const ScopedEnvironment display("WAYLAND_DISPLAY", "/nonexistent/wayland-9");
    TypingDelivery delivery;
    EXPECT_EQ(delivery.prepare(), fail(DeliveryError::accessibilityDenied()));
    EXPECT_EQ(QCoro::waitFor(delivery.deliver("012345")),
              fail(DeliveryError::accessibilityDenied()));
}

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
