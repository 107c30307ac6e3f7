// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/Compositing.hpp"

#include <X11/Xlib.h>
#include <memory>
#include <string>

namespace zemlar::Compositing {

bool blendsWindows(std::string_view platform, bool x11ManagerRunning) {
    if (platform.starts_with("wayland")) {
        return true;
    }
    return platform == "xcb" && x11ManagerRunning;
}

bool x11ManagerRunning() {
    const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
    if (!display) {
        return false;
    }
    const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display.get()));
    const Atom selection = XInternAtom(display.get(), name.c_str(), False);
    return XGetSelectionOwner(display.get(), selection) != None;
}

} // namespace zemlar::Compositing
