// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace zemlar {

/// The screens of the settings window, in tab order.
enum class SettingsTab { accounts, importing, backup, general };

/// Which settings screen is showing; the shell sets it to open the settings on a given screen.
class SettingsNavigation : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    SettingsTab tab() const { return tab_; }
    void setTab(SettingsTab tab) {
        if (tab != tab_) {
            tab_ = tab;
            emit tabChanged(tab);
        }
    }

signals:
    void tabChanged(zemlar::SettingsTab tab);

private:
    SettingsTab tab_ = SettingsTab::accounts;
};

} // namespace zemlar
