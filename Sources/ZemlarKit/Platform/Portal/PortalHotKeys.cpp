// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortalHotKeys.hpp"

#include "PortalTrigger.hpp"

#include <KeyboardShortcuts/Name.hpp>
#include <algorithm>

namespace zemlar {

using KeyboardShortcuts::EventListener;
using KeyboardShortcuts::EventType;

PortalHotKeys::PortalHotKeys(std::shared_ptr<GlobalShortcutsPortal> portal, Describe describe)
    : portal_(std::move(portal)), describe_(std::move(describe)) {
    QObject::connect(portal_.get(), &GlobalShortcutsPortal::activated, &context_,
                     [this](const QString& id) {
                         KeyboardShortcuts::deliver(listeners_, id, EventType::keyDown);
                     });
    QObject::connect(portal_.get(), &GlobalShortcutsPortal::deactivated, &context_,
                     [this](const QString& id) {
                         KeyboardShortcuts::deliver(listeners_, id, EventType::keyUp);
                     });
}

PortalHotKeys::~PortalHotKeys() = default;

void PortalHotKeys::addListener(EventListener* listener) {
    const bool known = std::ranges::any_of(listeners_, [&](const EventListener* other) {
        return other->rawValue() == listener->rawValue();
    });
    listeners_.push_back(listener);
    if (!known) {
        bindAll();
    }
}

void PortalHotKeys::removeListener(EventListener* listener) {
    std::erase(listeners_, listener);
}

std::optional<QString> PortalHotKeys::assignedTrigger(const QString& rawValue) const {
    return portal_->trigger(rawValue);
}

// The portal binds a session's shortcuts together, so every name listened to goes in each time.
void PortalHotKeys::bindAll() {
    std::vector<GlobalShortcutsPortal::Shortcut> shortcuts;
    for (const EventListener* listener : listeners_) {
        const QString& id = listener->rawValue();
        if (std::ranges::any_of(shortcuts,
                                [&](const auto& shortcut) { return shortcut.id == id; })) {
            continue;
        }
        const auto stored = KeyboardShortcuts::getShortcut(id);
        shortcuts.push_back(
            {.id = id,
             .description = describe_(id),
             .preferredTrigger = stored ? PortalTrigger::text(*stored) : QString()});
    }
    portal_->bind(std::move(shortcuts));
}

} // namespace zemlar
