// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyboardShortcuts/Events.hpp"

#include "HotKeyCenter.hpp"

#include <utility>

namespace zemlar::KeyboardShortcuts {

EventListener::EventListener(QString rawValue) : rawValue_(std::move(rawValue)) {}

EventListener::~EventListener() {
    HotKeyCenter::removeListener(this);
}

std::unique_ptr<EventListener> events(const Name& name) {
    std::unique_ptr<EventListener> listener(new EventListener(name.rawValue));
    HotKeyCenter::addListener(listener.get());
    return listener;
}

bool isTakenByAnotherClient(const Shortcut& shortcut) {
    return HotKeyCenter::isTakenByAnotherClient(shortcut);
}

void setHotKeysPaused(bool paused) {
    HotKeyCenter::setPaused(paused);
}

} // namespace zemlar::KeyboardShortcuts
