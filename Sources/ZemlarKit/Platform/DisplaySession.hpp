// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

/// Which display server the application talks to: the one place that decides, so that every
/// platform service (window system, typing, clipboard, hot key) takes the same side.
namespace zemlar::DisplaySession {

enum class Kind { x11, wayland };

/// The Qt platform to run on: an explicit QT_QPA_PLATFORM wins; otherwise "wayland" (falling
/// back to "xcb") in a Wayland session (WAYLAND_DISPLAY set) and "xcb" elsewhere.
QByteArray qtPlatform();

/// Sets QT_QPA_PLATFORM to qtPlatform(); call before the application object exists.
void choosePlatform();

/// Wayland when the application runs on Qt's wayland platform (or, before a GUI application
/// exists, when qtPlatform() names it); X11 otherwise, offscreen runs included.
Kind current();

} // namespace zemlar::DisplaySession
