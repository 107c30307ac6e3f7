// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LiveDeliveryMethods.hpp"

#include <QString>
#include <functional>

/// The desktop portals, in a Wayland session whose desktop offers them: the global shortcut
/// through GlobalShortcuts and typing through RemoteDesktop. Elsewhere nothing changes.
namespace zemlar::PortalServices {

/// Installs what is offered; call before the shortcut listener is made. `describe` names what a
/// shortcut does, for the desktop's dialog.
void install(LiveDeliveryMethods& delivery, std::function<QString(const QString&)> describe);

} // namespace zemlar::PortalServices
