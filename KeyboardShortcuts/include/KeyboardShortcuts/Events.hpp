// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "KeyboardShortcuts/Name.hpp"
#include "KeyboardShortcuts/Shortcut.hpp"

#include <QObject>
#include <QString>
#include <memory>

namespace zemlar::KeyboardShortcuts {

enum class EventType { keyDown, keyUp };

/// One listener to the presses of a name's shortcut. While at least one listener of a name
/// exists, its stored shortcut is grabbed system-wide on the X display (`DISPLAY`), and the grab
/// follows every change of the stored value. Lives on the main thread.
class EventListener : public QObject {
    Q_OBJECT

public:
    ~EventListener() override;

    const QString& rawValue() const { return rawValue_; }

signals:
    /// Key-down when the shortcut is pressed (not repeated while held), key-up on release.
    void event(zemlar::KeyboardShortcuts::EventType type);

private:
    friend std::unique_ptr<EventListener> events(const Name& name);
    explicit EventListener(QString rawValue);

    QString rawValue_;
};

/// Starts listening to a name; the listener stops when destroyed.
std::unique_ptr<EventListener> events(const Name& name);

/// Whether another X client already grabs the shortcut (tried with a grab of our own that the
/// server refuses). Our own registrations do not count; without an X display nothing is taken.
bool isTakenByAnotherClient(const Shortcut& shortcut);

/// Releases every grab while paused (a recorder must receive the keys itself) and grabs again
/// afterwards.
void setHotKeysPaused(bool paused);

} // namespace zemlar::KeyboardShortcuts
