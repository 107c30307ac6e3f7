// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zemlar {

/// The application that owns a top-level window: what the panel remembers to give the
/// keyboard back to.
struct FrontApp {
    /// The X window that was active; 0 on Wayland, where clients see no other windows.
    std::uint64_t window = 0;
    /// Its _NET_WM_PID, 0 when the window does not say.
    std::int64_t pid = 0;
    /// The class part of its WM_CLASS ("firefox", "Google-chrome"), empty when absent. It
    /// stands in for the application's bundle identifier.
    std::string wmClass;
    /// The window's title (_NET_WM_NAME, else WM_NAME), empty when absent.
    std::string title;

    bool operator==(const FrontApp&) const = default;
};

/// Which application is in front, and bringing one to the front.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    /// The application of the active window, if any.
    virtual std::optional<FrontApp> frontmost() = 0;
    /// Asks the window manager to activate the application's window.
    virtual void activate(const FrontApp& app) = 0;
    /// Whether one of this process's windows has the focus.
    virtual bool isThisApplicationActive() = 0;
    /// Whether the application is this process.
    virtual bool isThisApplication(const FrontApp& app) = 0;
};

/// The X11 window system of DISPLAY through EWMH (_NET_ACTIVE_WINDOW, WM_CLASS, _NET_WM_PID,
/// _NET_WM_NAME);
/// without a display it knows no front application and activates nothing.
std::shared_ptr<WindowSystem> makeX11WindowSystem();

/// A Wayland session's window system: other clients' windows are out of sight, so it knows no
/// front application and leaves activation to the compositor, which gives the focus back to
/// the window below when the panel hides.
std::shared_ptr<WindowSystem> makeWaylandWindowSystem();

/// The window system of the display session the application runs in.
std::shared_ptr<WindowSystem> makeWindowSystem();

} // namespace zemlar
