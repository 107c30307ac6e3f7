// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppEnvironment.hpp"
#include "DeliveryMethods.hpp"
#include "PanelController.hpp"
#include "PanelModel.hpp"
#include "WindowSystem.hpp"

#include <KeyboardShortcuts/Events.hpp>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <ZemlarKit/DeviceAuthentication.hpp>
#include <ZemlarScreens/SessionLock.hpp>
#include <ZemlarScreens/SettingsNavigation.hpp>
#include <functional>
#include <memory>
#include <qcoro/qcorotask.h>

class QMenu;
class QSystemTrayIcon;

namespace zemlar {

/// The running application: the tray item and its menu, the global shortcut, the panel and
/// the road from a pick to a delivered code. Owns everything long-lived; main thread only.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    enum class Alert { accessibility, deliveryFailed };

    struct Parts {
        AppEnvironment environment;
        std::shared_ptr<WindowSystem> windowSystem;
        std::shared_ptr<DeliveryMethods> delivery;
        PanelModel::Clock clock = PanelModel::systemClock();
        /// Shows an alert; the default runs the modal message box.
        std::function<void(Alert)> presentAlert;
        /// The site of a browser's front tab, by bundle identifier (here the WM_CLASS);
        /// consulted only when the user default "matchBrowserTab" is true.
        std::function<std::optional<std::string>(const std::string&)> tabHost;
        /// Who confirms the device owner for the session lock; PAM with our password dialog
        /// when not given.
        std::shared_ptr<DeviceAuthentication> authentication;
    };

    explicit AppDelegate(Parts parts, QObject* parent = nullptr);
    ~AppDelegate() override;

    /// Start-up: the shortcut listener, then the tray item (or the settings window when the
    /// desktop has no tray).
    void applicationDidFinishLaunching();

    void togglePanel();
    void deliver(const Account& account, SubmitMode mode);
    QCoro::Task<> returnFocus(std::optional<FrontApp> app);
    void showAccessibilityAlert();
    void showSettings();
    void showAbout();

    /// The panel, created on first use.
    PanelController& panel();
    PanelModel* panelModel() const { return model_; }
    bool unlocking() const { return unlocking_; }
    bool deliveryWaiting() const { return deliveryTask_ && !*deliveryTask_; }
    QSystemTrayIcon* trayIcon() const { return tray_; }
    QMenu* trayMenu() const { return menu_; }
    SessionLock& sessionLock() { return *sessionLock_; }
    QWidget* settingsWindow() const { return settingsWindow_; }
    /// The tray item with its menu: Find Code…, Settings…, Quit, About Zemlar.
    void createTray();

private:
    QCoro::Task<> openPanel(std::optional<FrontApp> front);
    QCoro::Task<> runDelivery(Account account, SubmitMode mode, std::shared_ptr<bool> cancelled);
    void cancelDelivery();
    void present(Alert alert);

    Parts parts_;
    PanelModel* model_;
    std::unique_ptr<PanelController> panel_;
    std::shared_ptr<bool> deliveryTask_;
    std::shared_ptr<DeviceAuthentication> authentication_;
    std::unique_ptr<SessionLock> sessionLock_;
    SettingsNavigation navigation_;
    bool unlocking_ = false;
    std::unique_ptr<KeyboardShortcuts::EventListener> shortcut_;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* menu_ = nullptr;
    QPointer<QWidget> settingsWindow_;
    QPointer<QWidget> aboutWindow_;
};

} // namespace zemlar
