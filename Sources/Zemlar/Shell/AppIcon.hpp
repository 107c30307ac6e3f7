// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace zemlar::AppIcon {

/// The shield with a lock, drawn for the tray and the windows.
QIcon make();

} // namespace zemlar::AppIcon
