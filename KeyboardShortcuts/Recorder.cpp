// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyboardShortcuts/Recorder.hpp"

#include "KeyboardShortcuts/Events.hpp"
#include "KeyboardShortcuts/KeyMapping.hpp"
#include "KeyboardShortcuts/Notifier.hpp"
#include "KeyboardShortcuts/Translations.hpp"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

namespace zemlar::KeyboardShortcuts {
namespace {

/// Space, Return or Enter alone: what activates a focused control from the keyboard.
bool isActivationKey(const QKeyEvent* event) {
    const int key = event->key();
    return (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
           (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter);
}

bool isModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

// The modifier a modifier key sets; platforms differ in whether a key event of a modifier key
// already carries it, so the recorder adds or drops it itself.
Qt::KeyboardModifiers modifierOfKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
        return Qt::ShiftModifier;
    case Qt::Key_Control:
        return Qt::ControlModifier;
    case Qt::Key_Alt:
        return Qt::AltModifier;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return Qt::MetaModifier;
    default:
        return {};
    }
}

constexpr int requiredModifiers =
    CarbonModifier::command | CarbonModifier::option | CarbonModifier::control;

} // namespace

Recorder::Recorder(Name name, QWidget* parent) : QLineEdit(parent), name_(std::move(name)) {
    Translations::install();
    setAlignment(Qt::AlignCenter);
    setContextMenuPolicy(Qt::NoContextMenu);
    setFocusPolicy(Qt::StrongFocus);
    connect(&Notifier::instance(), &Notifier::shortcutByNameDidChange, this,
            [this](const QString& rawValue) {
                if (rawValue == name_.rawValue && !recording_) {
                    showStoredShortcut();
                }
            });
    showStoredShortcut();
}

Recorder::~Recorder() {
    if (recording_) {
        setHotKeysPaused(false);
    }
}

bool Recorder::isTakenBySystem(const Shortcut& shortcut) {
    return isTakenByAnotherClient(shortcut);
}

bool Recorder::confirmUseOfTakenShortcut(const Shortcut& /*shortcut*/) {
    QMessageBox alert(this);
    alert.setIcon(QMessageBox::Warning);
    alert.setWindowTitle(Translations::text("keyboard_shortcut_used_by_system"));
    alert.setText(Translations::text("keyboard_shortcut_used_by_system"));
    alert.setInformativeText(Translations::text("keyboard_shortcuts_can_be_changed"));
    QPushButton* force =
        alert.addButton(Translations::text("force_use_shortcut"), QMessageBox::AcceptRole);
    alert.setDefaultButton(alert.addButton(QMessageBox::Ok));
    alert.exec();
    return alert.clickedButton() == force;
}

void Recorder::beep() {
    QApplication::beep();
}

bool Recorder::event(QEvent* event) {
    // While recording, every key belongs to the recorder, not to application shortcuts.
    if (recording_ && event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void Recorder::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // The alert takes the focus for a moment; recording goes on behind it.
    if (!askingAboutTakenShortcut_) {
        stopRecording();
    }
}

void Recorder::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (hasFocus()) {
        startRecording();
    }
}

void Recorder::keyReleaseEvent(QKeyEvent* event) {
    if (recording_) {
        showHeldModifiers(event->modifiers() & ~modifierOfKey(event->key()));
    }
}

void Recorder::keyPressEvent(QKeyEvent* event) {
    if (!recording_) {
        if (isActivationKey(event)) {
            startRecording();
            return;
        }
        event->ignore();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int carbonModifiers = KeyMapping::carbonModifiersForQt(modifiers);
    const int key = event->key();
    if (isModifierKey(key)) {
        showHeldModifiers(modifiers | modifierOfKey(key));
        return;
    }
    if (key == Qt::Key_Escape && carbonModifiers == 0) {
        stopRecording();
        giveUpFocus();
        return;
    }
    if ((key == Qt::Key_Backspace || key == Qt::Key_Delete) && carbonModifiers == 0) {
        finishWith(std::nullopt);
        return;
    }
    const auto keyCode = KeyMapping::carbonKeyCodeForQtKey(key);
    if (!keyCode ||
        ((carbonModifiers & requiredModifiers) == 0 && !KeyMapping::isFunctionKey(*keyCode))) {
        beep();
        return;
    }
    const Shortcut shortcut{*keyCode, carbonModifiers};
    if (isTakenBySystem(shortcut) && !askToUseTakenShortcut(shortcut)) {
        showHeldModifiers({});
        return;
    }
    finishWith(shortcut);
}

bool Recorder::askToUseTakenShortcut(const Shortcut& shortcut) {
    askingAboutTakenShortcut_ = true;
    const bool force = confirmUseOfTakenShortcut(shortcut);
    askingAboutTakenShortcut_ = false;
    if (!force && !hasFocus()) {
        window()->activateWindow();
        setFocus(Qt::OtherFocusReason);
    }
    return force;
}

// Focus moves to the window itself, so that activating the window again (after an alert, say)
// does not hand the focus back to the recorder and start recording anew.
void Recorder::giveUpFocus() {
    QWidget* top = window();
    if (top && top != this) {
        top->setFocus(Qt::OtherFocusReason);
    }
    clearFocus();
}

void Recorder::startRecording() {
    if (recording_) {
        return;
    }
    recording_ = true;
    setHotKeysPaused(true);
    clear();
    setPlaceholderText(Translations::text("press_shortcut"));
}

void Recorder::stopRecording() {
    if (!recording_) {
        return;
    }
    recording_ = false;
    setHotKeysPaused(false);
    showStoredShortcut();
}

void Recorder::showStoredShortcut() {
    setPlaceholderText(Translations::text("record_shortcut"));
    const auto shortcut = getShortcut(name_);
    setText(shortcut ? shortcut->description() : QString());
}

void Recorder::showHeldModifiers(Qt::KeyboardModifiers modifiers) {
    setText(Shortcut::modifiersDescription(KeyMapping::carbonModifiersForQt(modifiers)));
}

void Recorder::finishWith(const std::optional<Shortcut>& shortcut) {
    // Recording ends before storing, so that the new hot key is grabbed at once.
    stopRecording();
    setShortcut(shortcut, name_);
    emit shortcutChanged();
    giveUpFocus();
}

} // namespace zemlar::KeyboardShortcuts
