// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "KeyboardShortcuts/Name.hpp"

#include <QObject>
#include <QString>

namespace zemlar::KeyboardShortcuts {

/// Hears a name's shortcut in the key presses of one object of this application. An open menu
/// holds the keyboard, so the system-wide grab hears nothing meanwhile: a monitor on the menu
/// stands in for it. The shortcut is read at every press, so a change applies at once.
class KeyMonitor : public QObject {
    Q_OBJECT

public:
    /// Watches `watched`'s key presses until either is destroyed; `watched` owns the monitor.
    KeyMonitor(const Name& name, QObject* watched);

signals:
    /// The shortcut was pressed (not repeated while held); the press goes no further.
    void pressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString rawValue_;
};

} // namespace zemlar::KeyboardShortcuts
