// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <KeyboardShortcuts/Name.hpp>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zemlar {

/// Under the shortcut on the General tab, in a Wayland session: what to do on this desktop to
/// get the shortcut (the desktop's own choice where the portal binds it, the line to copy into
/// the compositor's configuration, or GNOME's custom shortcut added with the user's consent),
/// and whether the clipboard can be cleared here. Hidden on X11, where the recorder does it all.
class ShortcutHelp : public QWidget {
    Q_OBJECT

public:
    explicit ShortcutHelp(KeyboardShortcuts::Name togglePanel, QWidget* parent = nullptr);

    /// Reads the desktop and the stored shortcut afresh.
    void refresh();

    QLabel* instructions() const { return instructions_; }
    QLineEdit* configLine() const { return configLine_; }
    QPushButton* addToGnome() const { return addToGnome_; }
    QLabel* clipboardNote() const { return clipboardNote_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void addGnomeShortcut();

    KeyboardShortcuts::Name togglePanel_;
    QLabel* instructions_;
    QLineEdit* configLine_;
    QPushButton* addToGnome_;
    QLabel* clipboardNote_;
};

} // namespace zemlar
