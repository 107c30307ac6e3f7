// SPDX-License-Identifier: GPL-3.0-or-later
#include <DisplaySession.hpp>
#include <TestSupport/ScopedEnvironment.hpp>
#include <gtest/gtest.h>

using namespace zemlar;
using zemlar::testing::ScopedEnvironment;

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
             Case{"xcb", "wayland-0", "xcb", DisplaySession::Kind::x11},
             Case{"offscreen", "wayland-0", "offscreen", DisplaySession::Kind::x11},
             Case{"wayland-egl", nullptr, "wayland-egl", DisplaySession::Kind::wayland},
         }) {
        const ScopedEnvironment chosen("QT_QPA_PLATFORM", example.chosen);
        const ScopedEnvironment display("WAYLAND_DISPLAY", example.waylandDisplay);
        EXPECT_EQ(DisplaySession::qtPlatform(), example.platform);
        EXPECT_EQ(DisplaySession::current(), example.kind) << example.platform;
    }
}
