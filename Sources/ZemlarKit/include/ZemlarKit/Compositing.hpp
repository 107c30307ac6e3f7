// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

/// Whether the desktop blends windows, so that a window may have see-through parts. Without a
/// compositing manager the transparent pixels of a window show as black.
namespace zemlar::Compositing {

/// Decides from Qt's platform name: a Wayland session always composites; on X11 it depends on
/// `x11ManagerRunning`; anything else (offscreen, minimal) does not.
bool blendsWindows(std::string_view platform, bool x11ManagerRunning);

/// Whether a compositing manager owns the _NET_WM_CM_S<screen> selection of the default screen
/// of DISPLAY; false without a display.
bool x11ManagerRunning();

} // namespace zemlar::Compositing
