// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LiveDeliveryMethods.hpp"

#include <QString>
#include <functional>

/// The services of a Wayland session: the global shortcut through the GlobalShortcuts portal and
/// typing through the RemoteDesktop portal where the desktop offers them, and the clipboard
/// cleared through data control. Outside a Wayland session nothing changes.
namespace zemlar::WaylandServices {

/// Installs what is offered; call before the shortcut listener is made. `describe` names what a
/// shortcut does, for the desktop's dialog.
void install(LiveDeliveryMethods& delivery, std::function<QString(const QString&)> describe);

} // namespace zemlar::WaylandServices
