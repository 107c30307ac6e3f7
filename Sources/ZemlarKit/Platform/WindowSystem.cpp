// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowSystem.hpp"

#include "DisplaySession.hpp"

namespace zemlar {

std::shared_ptr<WindowSystem> makeWindowSystem() {
    return DisplaySession::current() == DisplaySession::Kind::wayland ? makeWaylandWindowSystem()
                                                                      : makeX11WindowSystem();
}

} // namespace zemlar
