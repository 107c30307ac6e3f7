// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <X11/Xlib.h>

namespace zemlar {

/// Catches the X errors of the requests made while it lives instead of ending the process, as
/// Xlib's default handler would.
class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display)
        : display_(display), previous_(XSetErrorHandler(&X11ErrorTrap::record)) {
        failed() = false;
    }
    ~X11ErrorTrap() { XSetErrorHandler(previous_); }
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    /// Waits until the server has handled every request so far; true when none failed.
    bool succeeded() {
        XSync(display_, False);
        return !failed();
    }

private:
    static bool& failed() {
        static bool flag = false;
        return flag;
    }
    static int record(Display*, XErrorEvent*) {
        failed() = true;
        return 0;
    }

    Display* display_;
    XErrorHandler previous_;
};

} // namespace zemlar
