// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/TypingAccess.hpp"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <memory>

namespace zemlar::TypingAccess {

Obstacle obstacle() {
    const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
    if (!display) {
        return Obstacle::noDisplay;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display.get(), &eventBase, &errorBase, &major, &minor)) {
        return Obstacle::noXTest;
    }
    return Obstacle::none;
}

} // namespace zemlar::TypingAccess
