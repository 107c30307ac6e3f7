// SPDX-License-Identifier: GPL-3.0-or-later
#include <ZemlarKit/Compositing.hpp>
#include <gtest/gtest.h>

namespace zemlar {
namespace {

TEST(Compositing, waylandAlwaysBlendsX11OnlyWithAManagerOtherPlatformsNever) {
    EXPECT_TRUE(Compositing::blendsWindows("wayland", false));
    EXPECT_TRUE(Compositing::blendsWindows("wayland-egl", false));
    EXPECT_TRUE(Compositing::blendsWindows("xcb", true));
    EXPECT_FALSE(Compositing::blendsWindows("xcb", false));
    EXPECT_FALSE(Compositing::blendsWindows("offscreen", true));
}

} // namespace
} // namespace zemlar
