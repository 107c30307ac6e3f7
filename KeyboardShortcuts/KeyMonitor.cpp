// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyboardShortcuts/KeyMonitor.hpp"

#include "KeyboardShortcuts/KeyMapping.hpp"

#include <QKeyEvent>

namespace zemlar::KeyboardShortcuts {

KeyMonitor::KeyMonitor(const Name& name, QObject* watched)
    : QObject(watched), rawValue_(name.rawValue) {
    watched->installEventFilter(this);
}

bool KeyMonitor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const auto shortcut = getShortcut(rawValue_);
    const auto keyCode = KeyMapping::carbonKeyCodeForQtKey(key->key());
    if (!shortcut || !keyCode || *keyCode != shortcut->carbonKeyCode ||
        KeyMapping::carbonModifiersForQt(key->modifiers()) != shortcut->carbonModifiers) {
        return QObject::eventFilter(watched, event);
    }
    if (!key->isAutoRepeat()) {
        emit pressed();
    }
    return true;
}

} // namespace zemlar::KeyboardShortcuts
