// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarScreens/SettingsNavigation.hpp"

#include <KeyboardShortcuts/Name.hpp>
#include <QTabWidget>
#include <QWidget>

namespace zemlar {

class GeneralSettingsView;
class SessionLock;

/// The settings content: the four screens as tabs, bound to the navigation, 540 × 480.
class SettingsView : public QTabWidget {
    Q_OBJECT

public:
    SettingsView(SettingsNavigation& navigation, SessionLock& sessionLock,
                 KeyboardShortcuts::Name togglePanel, QWidget* parent = nullptr);

    /// Puts a screen into its tab (the accounts, import and backup screens arrive this way).
    void setScreen(SettingsTab tab, QWidget* screen);
    QWidget* screen(SettingsTab tab) const;
    GeneralSettingsView* general() const { return general_; }

private:
    SettingsNavigation& navigation_;
    GeneralSettingsView* general_;
};

/// The window "Zemlar Settings" around the settings content.
class SettingsWindow : public QWidget {
    Q_OBJECT

public:
    SettingsWindow(SettingsNavigation& navigation, SessionLock& sessionLock,
                   KeyboardShortcuts::Name togglePanel, QWidget* parent = nullptr);

    SettingsView* view() const { return view_; }

private:
    SettingsView* view_;
};

} // namespace zemlar
