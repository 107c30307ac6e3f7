// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppDelegate.hpp"

#include "AccountsView.hpp"
#include "AppIcon.hpp"
#include "AppLog.hpp"
#include "BackgroundWork.hpp"
#include "BackupView.hpp"
#include "ImportView.hpp"
#include "SearchPanel.hpp"

#include <KeyboardShortcuts/KeyMonitor.hpp>
#include <KeyboardShortcuts/Name.hpp>
#include <KeyboardShortcuts/Shortcut.hpp>
#include <OTPCore/FreshCode.hpp>
#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>
#include <ZemlarKit/PamDeviceAuthentication.hpp>
#include <ZemlarKit/PreciseTimer.hpp>
#include <ZemlarKit/TypingAccess.hpp>
#include <ZemlarKit/VaultMigration.hpp>
#include <ZemlarScreens/AboutView.hpp>
#include <ZemlarScreens/PasswordDialog.hpp>
#include <ZemlarScreens/SettingsView.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <chrono>
#include <qcoro/qcorofuture.h>
#include <qcoro/qcorotimer.h>

namespace zemlar {
namespace {

using namespace std::chrono_literals;

constexpr auto inboxCheckInterval = 120s;

/// The ANSI "O" key with Command and Option: Ctrl+Alt+O here.
const KeyboardShortcuts::Name& togglePanelName() {
    static const KeyboardShortcuts::Name name(
        QStringLiteral("togglePanel"),
        KeyboardShortcuts::Shortcut{.carbonKeyCode = 31,
                                    .carbonModifiers = KeyboardShortcuts::CarbonModifier::command |
                                                       KeyboardShortcuts::CarbonModifier::option});
    return name;
}

/// What keeps the typing from working, and that copying still works.
QString typingObstacleText(TypingAccess::Obstacle obstacle) {
    switch (obstacle) {
    case TypingAccess::Obstacle::noDisplay:
        return Texts::text("Zemlar types the code through the X display, and this session has "
                           "none. You can copy the code instead: Ctrl+↩.");
    case TypingAccess::Obstacle::noXTest:
        return Texts::text("Zemlar types the code through the XTEST extension of the X display, "
                           "which this display does not offer. You can copy the code instead: "
                           "Ctrl+↩.");
    case TypingAccess::Obstacle::none:
        break;
    }
    return Texts::text("The X display refused the key events. You can copy the code instead: "
                       "Ctrl+↩.");
}

/// A titled window with only a close button, centred on the screen; it is shown again where the
/// user left it.
void frameAsFixedWindow(QWidget* window) {
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    window->setWindowIcon(AppIcon::make());
    window->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window->move(screen->availableGeometry().center() - window->rect().center());
    }
}

std::shared_ptr<DeviceAuthentication> defaultAuthentication() {
    return std::make_shared<PamDeviceAuthentication>(std::make_shared<PasswordDialog>());
}

} // namespace

AppDelegate::AppDelegate(Parts parts, QObject* parent)
    : QObject(parent), parts_(std::move(parts)),
      model_(new PanelModel(parts_.environment, parts_.clock, this)),
      authentication_(parts_.authentication ? parts_.authentication : defaultAuthentication()),
      sessionLock_(std::make_unique<SessionLock>(*authentication_)) {
    connect(sessionLock_.get(), &SessionLock::locked, this, [this] {
        // Nothing is typed into the lock screen: a countdown to a fresh code ends with the panel.
        cancelDelivery();
        if (panel_ && panel_->isVisible()) {
            panel_->hide();
        }
    });
    connect(sessionLock_.get(), &SessionLock::sessionUnknown, this, [](const QString& details) {
        AppLog::error("app", "Сессия logind не найдена, её блокировка не отслеживается: " +
                                 details.toStdString());
    });
}

BackupModel& AppDelegate::backup() {
    if (!backup_) {
        backup_ = std::make_unique<BackupModel>(parts_.environment);
    }
    return *backup_;
}

AccountsModel& AppDelegate::accounts() {
    if (!accounts_) {
        accounts_ = std::make_unique<AccountsModel>(
            parts_.environment, [this] { backup().accountsDidChange(); },
            [this] { return sessionLock_->unlock(); });
    }
    return *accounts_;
}

ImportModel& AppDelegate::importModel() {
    if (!importModel_) {
        importModel_ = std::make_unique<ImportModel>(parts_.environment,
                                                     [this] { backup().accountsDidChange(); });
    }
    return *importModel_;
}

AppDelegate::~AppDelegate() {
    delete settingsWindow_;
    delete aboutWindow_;
}

void AppDelegate::applicationDidFinishLaunching() {
    shortcut_ = KeyboardShortcuts::events(togglePanelName());
    connect(shortcut_.get(), &KeyboardShortcuts::EventListener::event, this,
            [this](KeyboardShortcuts::EventType type) {
                if (type == KeyboardShortcuts::EventType::keyDown) {
                    togglePanel();
                }
            });
    QTimer::singleShot(0, this, [this] { panel().prepareWindow(); });
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        createTray();
    } else {
        // Without a tray the settings window is the only way in.
        showSettings();
    }
    startUp();
    watchInbox();
}

QCoro::Task<> AppDelegate::startUp() {
    const QPointer<AppDelegate> alive(this);
    // Tasks are named before awaiting: g++ 12 mishandles temporaries in co_await.
    auto migrating = migrateVault();
    co_await migrating;
    if (!alive) {
        co_return;
    }
    auto refreshing = backup().refresh();
    co_await refreshing;
    if (!alive) {
        co_return;
    }
    if (backup().offersRestore()) {
        showSettings(SettingsTab::backup);
    }
    auto checking = backup().checkInbox();
    co_await checking;
    if (alive) {
        startedUp_ = true;
    }
}

QCoro::Task<> AppDelegate::migrateVault() {
    if (!parts_.legacySecrets || !parts_.legacyKeys) {
        co_return;
    }
    QFuture<Guarded<Result<VaultMigrationReport, SecretStoreError>>> pending = inBackground(
        [legacySecrets = parts_.legacySecrets, legacyKeys = parts_.legacyKeys,
         secrets = parts_.environment.secretStore, keys = parts_.environment.keyStore] {
            return VaultMigration::run(*legacySecrets, *legacyKeys, *secrets, *keys);
        });
    const auto guarded = co_await pending;
    if (!guarded) {
        AppLog::error("app", "Перенос секретов не завершён: " + guarded.error());
        co_return;
    }
    const auto& result = *guarded;
    if (!result) {
        AppLog::error("app", "Перенос секретов не завершён: " + result.error().describe());
    } else if (result->movedSecrets > 0 || result->movedBackupKey) {
        AppLog::info("app", "Перенос в единый элемент связки: секретов " +
                                std::to_string(result->movedSecrets));
    }
}

void AppDelegate::watchInbox() {
    backup().onInboxImported = [self = QPointer<AppDelegate>(this)] {
        if (self) {
            self->accounts().reload();
        }
    };
    inboxTimer_ = new QTimer(this);
    inboxTimer_->setInterval(inboxCheckInterval);
    connect(inboxTimer_, &QTimer::timeout, this, &AppDelegate::checkInbox);
    inboxTimer_->start();
    wakeEvents_ = std::make_unique<WakeEvents>([this] { systemDidWake(); });
}

void AppDelegate::systemDidWake() {
    checkInbox();
}

void AppDelegate::checkInbox() {
    // Overlapping checks are turned away by the backup model itself.
    backup().checkInbox();
}

void AppDelegate::createTray() {
    menu_ = new QMenu;
    menu_->addAction(Texts::text("Find Code…"), this, &AppDelegate::togglePanel);
    menu_->addSeparator();
    menu_->addAction(Texts::text("Settings…"), QKeySequence(QStringLiteral("Ctrl+,")), this,
                     [this] { showSettings(); });
    menu_->addSeparator();
    menu_->addAction(Texts::text("Quit"), QKeySequence(QStringLiteral("Ctrl+Q")), qApp,
                     &QApplication::quit);
    menu_->addSeparator();
    menu_->addAction(Texts::text("About Zemlar"), this, &AppDelegate::showAbout);
    auto* monitor = new KeyboardShortcuts::KeyMonitor(togglePanelName(), menu_);
    connect(monitor, &KeyboardShortcuts::KeyMonitor::pressed, this, [this] {
        menu_->close();
        togglePanel();
    });
    tray_ = new QSystemTrayIcon(AppIcon::make(), this);
    tray_->setToolTip(QStringLiteral("Zemlar"));
    tray_->setContextMenu(menu_);
    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    togglePanel();
                }
            });
    tray_->show();
}

PanelController& AppDelegate::panel() {
    if (!panel_) {
        PanelController::SiteProvider siteProvider = [this](const FrontApp& app) {
            const bool matching =
                QSettings().value(QStringLiteral("matchBrowserTab"), false).toBool();
            return lookUpSite(matching ? parts_.tabHost : nullptr, app);
        };
        QPointer<AppDelegate> self(this);
        panel_ = std::make_unique<PanelController>(
            model_,
            [self](const Account& account, SubmitMode mode) {
                if (self) {
                    self->deliver(account, mode);
                }
            },
            [self] {
                if (self) {
                    self->cancelDelivery();
                }
            },
            std::move(siteProvider), parts_.windowSystem);
    }
    return *panel_;
}

void AppDelegate::togglePanel() {
    if (panel_ && panel_->isVisible()) {
        panel_->toggle();
        return;
    }
    if (unlocking_) {
        return;
    }
    unlocking_ = true;
    openPanel(parts_.windowSystem->frontmost());
}

QCoro::Task<> AppDelegate::openPanel(std::optional<FrontApp> front) {
    const bool needsUnlock = sessionLock_->isEnabled() && !sessionLock_->unlocked();
    // Tasks are named before awaiting: g++ 12 mishandles temporaries in co_await.
    const QPointer<AppDelegate> alive(this);
    // However this ends (a refusal, a failure thrown), the shortcut opens the panel again.
    const auto unlocked = qScopeGuard([alive] {
        if (alive) {
            alive->unlocking_ = false;
        }
    });
    auto unlocking = sessionLock_->unlock();
    const bool ok = co_await unlocking;
    if (!alive) {
        co_return;
    }
    if (ok && needsUnlock) {
        auto focusing = returnFocus(front);
        co_await focusing;
        if (!alive) {
            co_return;
        }
    }
    if (ok) {
        panel().show(front);
    }
}

QCoro::Task<> AppDelegate::returnFocus(std::optional<FrontApp> app) {
    if (!app) {
        co_return;
    }
    const auto windows = parts_.windowSystem; // nothing of the delegate is used after a pause
    windows->activate(*app);
    for (int check = 0; check <= 20; ++check) {
        const auto front = windows->frontmost();
        if (front && front->pid == app->pid) {
            break;
        }
        if (check < 20) {
            auto pause = QCoro::sleepFor(50ms);
            co_await pause;
        }
    }
    auto settle = QCoro::sleepFor(150ms);
    co_await settle;
}

void AppDelegate::deliver(const Account& account, SubmitMode mode) {
    if (!parts_.delivery->prepare(account, mode)) {
        panel().hide();
        showAccessibilityAlert();
        return;
    }
    deliveryTask_ = std::make_shared<bool>(false);
    runDelivery(account, mode, deliveryTask_);
}

QCoro::Task<> AppDelegate::runDelivery(Account account, SubmitMode mode,
                                       std::shared_ptr<bool> cancelled) {
    const QPointer<AppDelegate> alive(this);
    const PanelModel::Clock clock = parts_.clock;
    // The countdown; checked again after each wait, as the clock and the timer may disagree.
    for (;;) {
        const Date now = clock();
        const double delay = FreshCode::delay(now, account.parameters.period());
        if (delay <= 0) {
            break;
        }
        model_->setWaitingUntil(Date(now.secondsSince1970() + delay));
        auto waiting = PreciseTimer::sleepFor(std::chrono::duration<double>(delay));
        co_await waiting;
        if (*cancelled || !alive) {
            co_return;
        }
    }
    // The window the panel was opened over; hiding forgets it.
    const std::optional<FrontApp> target = panel().previousApp;
    panel().hide();
    if (mode == SubmitMode::type) {
        auto focusPause = QCoro::sleepFor(120ms);
        co_await focusPause;
        if (!alive) {
            co_return;
        }
    }
    auto delivering = parts_.delivery->run(account, mode, clock,
                                           target ? std::optional(target->window) : std::nullopt);
    const std::optional<DeliveryFailure> failure = co_await delivering;
    if (!failure || !alive) {
        co_return;
    }
    AppLog::error("app", "Код не выдан: " + failure->description);
    present(failure->accessibilityDenied ? Alert::accessibility
            : failure->focusLost         ? Alert::focusLost
                                         : Alert::deliveryFailed);
}

void AppDelegate::cancelDelivery() {
    if (deliveryTask_) {
        *deliveryTask_ = true;
    }
}

void AppDelegate::showAccessibilityAlert() {
    present(Alert::accessibility);
}

void AppDelegate::present(Alert alert) {
    if (parts_.presentAlert) {
        parts_.presentAlert(alert);
        return;
    }
    QMessageBox box;
    box.setWindowIcon(AppIcon::make());
    switch (alert) {
    case Alert::focusLost:
        box.setText(
            Texts::text("Zemlar stopped typing the code: another window came to the front"));
        break;
    case Alert::deliveryFailed:
        box.setText(Texts::text("Couldn't get the code"));
        break;
    case Alert::accessibility:
        box.setText(Texts::text("Zemlar can't type the code into the field"));
        box.setInformativeText(typingObstacleText(TypingAccess::obstacle()));
        break;
    }
    exec(box);
}

void AppDelegate::exec(QMessageBox& box) {
    // Once the box is on screen, brought forward as the settings window is.
    QTimer::singleShot(0, &box, [this, &box] { present(&box); });
    box.exec();
}

void AppDelegate::showSettings(std::optional<SettingsTab> tab) {
    if (tab && *tab != navigation_.tab()) {
        navigation_.setTab(*tab);
    }
    if (!settingsWindow_) {
        settingsWindow_ = new SettingsWindow(navigation_, *sessionLock_, togglePanelName());
        SettingsView& view = *settingsWindow_->view();
        view.setScreen(SettingsTab::accounts, new AccountsView(accounts()));
        view.setScreen(SettingsTab::importing, new ImportView(importModel()));
        view.setScreen(SettingsTab::backup, new BackupView(backup()));
        frameAsFixedWindow(settingsWindow_);
    }
    present(settingsWindow_);
}

void AppDelegate::showAbout() {
    if (!aboutWindow_) {
        aboutWindow_ = new AboutView();
        aboutWindow_->setWindowTitle(Texts::text("About Zemlar"));
        frameAsFixedWindow(aboutWindow_);
    }
    present(aboutWindow_);
}

void AppDelegate::present(QWidget* window) {
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    // Window managers may refuse a plain activation while another application is in front;
    // asking as a pager brings the window forward regardless.
    if (parts_.windowSystem) {
        parts_.windowSystem->activate(FrontApp{.window = window->winId(),
                                               .pid = QCoreApplication::applicationPid(),
                                               .wmClass = {},
                                               .title = {}});
    }
}

} // namespace zemlar
