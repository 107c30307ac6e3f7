// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "KeyboardShortcuts/Events.hpp"

namespace zemlar::KeyboardShortcuts::HotKeyCenter {

void addListener(EventListener* listener);
void removeListener(EventListener* listener);
bool isTakenByAnotherClient(const Shortcut& shortcut);
void setPaused(bool paused);

} // namespace zemlar::KeyboardShortcuts::HotKeyCenter
