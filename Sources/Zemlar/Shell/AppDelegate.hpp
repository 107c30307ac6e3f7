// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AccountsModel.hpp"
#include "AppEnvironment.hpp"
#include "BackupModel.hpp"
#include "DeliveryMethods.hpp"
#include "ImportModel.hpp"
#include "PanelController.hpp"
#include "PanelModel.hpp"
#include "SiteLookup.hpp"
#include "WindowSystem.hpp"

#include <KeyboardShortcuts/Events.hpp>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <ZemlarKit/BackupKeyStore.hpp>
#include <ZemlarKit/DeviceAuthentication.hpp>
#include <ZemlarKit/SecretStore.hpp>
#include <ZemlarKit/WakeEvents.hpp>
#include <ZemlarScreens/SessionLock.hpp>
#include <ZemlarScreens/SettingsNavigation.hpp>
#include <ZemlarScreens/SettingsView.hpp>
#include <functional>
#include <memory>
#include <qcoro/qcorotask.h>

class QMenu;
class QMessageBox;
class QSystemTrayIcon;
class QTimer;

namespace zemlar {

/// The running application: the tray item and its menu, the global shortcut, the panel, the
/// road from a pick to a delivered code, the settings screens and the inbox watch. Owns
/// everything long-lived; main thread only.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    enum class Alert { accessibility, deliveryFailed, focusLost };

    struct Parts {
        AppEnvironment environment;
        std::shared_ptr<WindowSystem> windowSystem;
        std::shared_ptr<DeliveryMethods> delivery;
        PanelModel::Clock clock = PanelModel::systemClock();
        /// Shows an alert; the default runs the modal message box.
        std::function<void(Alert)> presentAlert;
        /// The site of the front tab of the browser whose window was in front; called on a
        /// worker thread, and only when the user default "matchBrowserTab" is true.
        TabHostReader tabHost;
        /// Who confirms the device owner for the session lock; PAM with our password dialog
        /// when not given.
        std::shared_ptr<DeviceAuthentication> authentication;
        /// The keychain items of older versions, moved into the vault at start-up; nothing is
        /// moved when either is missing.
        std::shared_ptr<SecretStore> legacySecrets;
        std::shared_ptr<BackupKeyStore> legacyKeys;
    };

    explicit AppDelegate(Parts parts, QObject* parent = nullptr);
    ~AppDelegate() override;

    /// Start-up: the shortcut listener, the tray item (or the settings window when the desktop
    /// has no tray), then the vault migration, the first look at the backup folder (opening the
    /// Backup tab when a restore is offered), the first inbox check and the inbox watch.
    void applicationDidFinishLaunching();
    /// Whether the start-up sequence after the shortcut listener has run to its end.
    bool startedUp() const { return startedUp_; }

    void togglePanel();
    void deliver(const Account& account, SubmitMode mode);
    QCoro::Task<> returnFocus(std::optional<FrontApp> app);
    void showAccessibilityAlert();
    /// Opens the settings window, on `tab` when one is given, else on the tab last shown.
    void showSettings(std::optional<SettingsTab> tab = std::nullopt);
    void showAbout();
    /// Every wake from sleep checks the phone's inbox at once.
    void systemDidWake();

    /// The screen models, created on first use.
    BackupModel& backup();
    AccountsModel& accounts();
    ImportModel& importModel();

    /// The panel, created on first use.
    PanelController& panel();
    PanelModel* panelModel() const { return model_; }
    bool unlocking() const { return unlocking_; }
    bool deliveryWaiting() const { return deliveryTask_ && !*deliveryTask_; }
    QSystemTrayIcon* trayIcon() const { return tray_; }
    QMenu* trayMenu() const { return menu_; }
    SessionLock& sessionLock() { return *sessionLock_; }
    SettingsWindow* settingsWindow() const { return settingsWindow_; }
    QWidget* aboutWindow() const { return aboutWindow_; }
    /// The tray item with its menu: Find Code…, Settings…, Quit, About Zemlar.
    void createTray();

private:
    QCoro::Task<> openPanel(std::optional<FrontApp> front);
    QCoro::Task<> runDelivery(Account account, SubmitMode mode, std::shared_ptr<bool> cancelled);
    void cancelDelivery();
    void present(Alert alert);
    QCoro::Task<> startUp();
    QCoro::Task<> migrateVault();
    void watchInbox();
    void checkInbox();
    void present(QWidget* window);
    /// Runs the alert, brought to the front once it is on screen.
    void exec(QMessageBox& box);

    Parts parts_;
    std::unique_ptr<BackupModel> backup_;
    PanelModel* model_;
    std::unique_ptr<PanelController> panel_;
    std::shared_ptr<bool> deliveryTask_;
    std::unique_ptr<AccountsModel> accounts_;
    std::unique_ptr<ImportModel> importModel_;
    std::shared_ptr<DeviceAuthentication> authentication_;
    std::unique_ptr<SessionLock> sessionLock_;
    SettingsNavigation navigation_;
    bool unlocking_ = false;
    std::unique_ptr<KeyboardShortcuts::EventListener> shortcut_;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* menu_ = nullptr;
    QPointer<SettingsWindow> settingsWindow_;
    QPointer<QWidget> aboutWindow_;
    QTimer* inboxTimer_ = nullptr;
    std::unique_ptr<WakeEvents> wakeEvents_;
    bool startedUp_ = false;
};

} // namespace zemlar
