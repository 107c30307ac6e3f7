// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <X11/Xlib.h>

/// Where the X server sends key events.
namespace zemlar::X11KeyFocus {

/// Whether key events now reach the window or one inside it. The server sends them to the focus
/// window, or to the window under the pointer when that lies inside the focus window. Toolkits
/// often focus a child of the top-level window, so the focus counts through its ancestors.
/// _NET_ACTIVE_WINDOW is not consulted: it is what the window manager last announced, and key
/// events do not follow it.
bool reaches(Display* display, Window target);

} // namespace zemlar::X11KeyFocus
