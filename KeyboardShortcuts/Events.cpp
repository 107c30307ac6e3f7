// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyboardShortcuts/Events.hpp"

#include "HotKeyCenter.hpp"
#include "KeyboardShortcuts/HotKeyBackend.hpp"

#include <QPointer>
#include <utility>

namespace zemlar::KeyboardShortcuts {
namespace {

std::shared_ptr<HotKeyBackend>& installedBackend() {
    static std::shared_ptr<HotKeyBackend> backend;
    return backend;
}

} // namespace

void useHotKeyBackend(std::shared_ptr<HotKeyBackend> backend) {
    installedBackend() = std::move(backend);
}

std::shared_ptr<HotKeyBackend> hotKeyBackend() {
    return installedBackend();
}

void deliver(const std::vector<EventListener*>& listeners, const QString& rawValue,
             EventType type) {
    std::vector<QPointer<EventListener>> targets;
    for (EventListener* listener : listeners) {
        if (listener->rawValue() == rawValue) {
            targets.emplace_back(listener);
        }
    }
    for (const auto& target : targets) {
        if (target) {
            emit target->event(type);
        }
    }
}

EventListener::EventListener(QString rawValue) : rawValue_(std::move(rawValue)) {}

EventListener::~EventListener() {
    if (const auto& backend = installedBackend()) {
        backend->removeListener(this);
        return;
    }
    HotKeyCenter::removeListener(this);
}

std::unique_ptr<EventListener> events(const Name& name) {
    std::unique_ptr<EventListener> listener(new EventListener(name.rawValue));
    if (const auto& backend = installedBackend()) {
        backend->addListener(listener.get());
    } else {
        HotKeyCenter::addListener(listener.get());
    }
    return listener;
}

bool isTakenByAnotherClient(const Shortcut& shortcut) {
    if (const auto& backend = installedBackend()) {
        return backend->isTakenByAnotherClient(shortcut);
    }
    return HotKeyCenter::isTakenByAnotherClient(shortcut);
}

void setHotKeysPaused(bool paused) {
    if (const auto& backend = installedBackend()) {
        backend->setPaused(paused);
        return;
    }
    HotKeyCenter::setPaused(paused);
}

} // namespace zemlar::KeyboardShortcuts
