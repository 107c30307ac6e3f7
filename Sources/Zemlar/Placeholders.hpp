// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins for parts of the application that are built elsewhere: the session lock, the
// settings and about windows and the code delivery. Each is replaced by the real class; this
// file then goes away.
#pragma once

#include <QWidget>
#include <qcoro/qcorotask.h>

namespace zemlar {

/// The optional unlock step before the panel shows codes; this stand-in never locks.
class SessionLock {
public:
    bool isEnabled() const { return false; }
    bool unlocked() const { return true; }
    QCoro::Task<bool> unlock();
};

/// The settings window with its four tabs, all empty in this stand-in.
QWidget* makeSettingsWindow();

/// The about window.
QWidget* makeAboutWindow();

} // namespace zemlar
