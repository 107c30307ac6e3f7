// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "KeyboardShortcuts/Events.hpp"
#include "KeyboardShortcuts/Shortcut.hpp"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace zemlar::KeyboardShortcuts {

/// Where the listeners' shortcuts are registered system-wide. Without one installed, the key
/// grabs of the X display serve; a desktop that hands out shortcuts itself gets its own.
/// A backend emits `EventListener::event` on the listeners of a name when its keys are pressed.
class HotKeyBackend {
public:
    virtual ~HotKeyBackend() = default;

    virtual void addListener(EventListener* listener) = 0;
    virtual void removeListener(EventListener* listener) = 0;
    virtual bool isTakenByAnotherClient(const Shortcut& shortcut) = 0;
    virtual void setPaused(bool paused) = 0;
    /// The keys the desktop finally assigned to a name, as the desktop describes them; nothing
    /// while unknown or where the stored shortcut is used as it is.
    virtual std::optional<QString> assignedTrigger(const QString& rawValue) const = 0;
};

/// Emits the event on the listeners of the name among `listeners`, skipping any that an earlier
/// one's handler destroyed.
void deliver(const std::vector<EventListener*>& listeners, const QString& rawValue, EventType type);

/// Installs the backend before the first listener is made; nothing goes back to the X display.
void useHotKeyBackend(std::shared_ptr<HotKeyBackend> backend);
/// The installed backend; nothing for the X display.
std::shared_ptr<HotKeyBackend> hotKeyBackend();

} // namespace zemlar::KeyboardShortcuts
