// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "KeyboardShortcuts/Name.hpp"
#include "KeyboardShortcuts/Shortcut.hpp"

#include <QLineEdit>
#include <optional>

namespace zemlar::KeyboardShortcuts {

/// The control that shows and changes the shortcut of a name.
///
/// It shows the stored shortcut until it is clicked, or activated with Space or Return while it
/// has the focus: then recording starts, and it ends when the control loses the focus. While
/// recording: Escape alone ends recording and keeps the previous shortcut; Backspace or Delete
/// alone removes the shortcut; a key needs Ctrl, Alt or Super (Shift may be added; function keys
/// may stand alone), anything else beeps and recording goes on; a shortcut another X client
/// already grabs asks whether to use it anyway. An accepted shortcut is stored and recording
/// ends. Global hot keys are paused while recording so that the control receives the keys.
class Recorder : public QLineEdit {
    Q_OBJECT

public:
    explicit Recorder(Name name, QWidget* parent = nullptr);
    ~Recorder() override;

    const Name& name() const { return name_; }
    bool isRecording() const { return recording_; }

signals:
    /// After the control stored or removed a shortcut.
    void shortcutChanged();

protected:
    /// Whether the shortcut is already in use elsewhere on the display.
    virtual bool isTakenBySystem(const Shortcut& shortcut);
    /// Asks whether to use a shortcut that is already in use; true accepts it.
    virtual bool confirmUseOfTakenShortcut(const Shortcut& shortcut);
    /// Signals a key press that does not form a shortcut.
    virtual void beep();

    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void startRecording();
    void stopRecording();
    void showStoredShortcut();
    void showHeldModifiers(Qt::KeyboardModifiers modifiers);
    void finishWith(const std::optional<Shortcut>& shortcut);
    bool askToUseTakenShortcut(const Shortcut& shortcut);
    void giveUpFocus();

    Name name_;
    bool recording_ = false;
    bool askingAboutTakenShortcut_ = false;
};

} // namespace zemlar::KeyboardShortcuts
