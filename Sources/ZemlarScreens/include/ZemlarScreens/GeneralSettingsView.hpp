// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/LoginItem.hpp"

#include <KeyboardShortcuts/Name.hpp>
#include <QWidget>

class QCheckBox;
class QLabel;

namespace zemlar {

class SessionLock;

namespace KeyboardShortcuts {
class Recorder;
}

/// The General screen: the panel shortcut, the authentication requirement, matching the browser
/// tab and launching at login.
class GeneralSettingsView : public QWidget {
    Q_OBJECT

public:
    /// The user-defaults key of the browser-tab matching (absent reads as false).
    static constexpr const char* matchBrowserTabKey = "matchBrowserTab";

    GeneralSettingsView(SessionLock& sessionLock, KeyboardShortcuts::Name togglePanel,
                        QWidget* parent = nullptr);

    LoginItemState loginItem() const { return loginItem_; }
    bool loginItemFailed() const { return loginItemFailed_; }

    /// The controls, by the names a test finds them with.
    KeyboardShortcuts::Recorder* shortcutRecorder() const { return recorder_; }
    QCheckBox* requireAuthenticationToggle() const { return requireAuthentication_; }
    QCheckBox* matchBrowserTabToggle() const { return matchBrowserTab_; }
    QCheckBox* launchAtLoginToggle() const { return launchAtLogin_; }
    QLabel* approvalHint() const { return approvalHint_; }
    QLabel* failureMessage() const { return failure_; }

    /// Changes the login item as the toggle does.
    void changeLoginItem(bool enabled);
    /// Reads the login item afresh (each time the screen appears).
    void refreshLoginItem();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showSessionLock();
    void showLoginItem();

    SessionLock& sessionLock_;
    KeyboardShortcuts::Recorder* recorder_;
    QCheckBox* requireAuthentication_;
    QCheckBox* matchBrowserTab_;
    QCheckBox* launchAtLogin_;
    QLabel* approvalHint_;
    QLabel* failure_;
    LoginItemState loginItem_;
    bool loginItemFailed_ = false;
};

} // namespace zemlar
