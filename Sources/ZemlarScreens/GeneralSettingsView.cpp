// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarScreens/GeneralSettingsView.hpp"

#include "ZemlarScreens/ScreenStyle.hpp"
#include "ZemlarScreens/SessionLock.hpp"
#include "ZemlarScreens/ShortcutHelp.hpp"
#include "ZemlarScreens/Texts.hpp"

#include <KeyboardShortcuts/Recorder.hpp>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSettings>
#include <QVBoxLayout>
#include <qcoro/qcorotask.h>
#include <utility>

namespace zemlar {

namespace {

QSettings userDefaults() {
    return QSettings(QStringLiteral("Zemlar"), QStringLiteral("Zemlar"));
}

QLabel* caption(const char* key, QWidget* parent) {
    return ScreenStyle::caption(Texts::text(key), parent);
}

} // namespace

GeneralSettingsView::GeneralSettingsView(SessionLock& sessionLock,
                                         KeyboardShortcuts::Name togglePanel, QWidget* parent)
    : QWidget(parent), sessionLock_(sessionLock),
      recorder_(new KeyboardShortcuts::Recorder(togglePanel)),
      requireAuthentication_(new QCheckBox(
          Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Require Touch ID to show codes")))),
      matchBrowserTab_(new QCheckBox(Texts::text(
          QT_TRANSLATE_NOOP("Zemlar", "Match the account to the site in the active tab")))),
      launchAtLogin_(new QCheckBox(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Launch at login")))),
      approvalHint_(caption(
          QT_TRANSLATE_NOOP("Zemlar", "Allow Zemlar in System Settings → General → Login Items."),
          this)),
      failure_(ScreenStyle::label(
          Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Couldn't change the launch setting")))),
      loginItem_(LoginItem::state()) {
    recorder_->setObjectName(QStringLiteral("shortcut"));
    requireAuthentication_->setObjectName(QStringLiteral("requireAuthentication"));
    matchBrowserTab_->setObjectName(QStringLiteral("matchBrowserTab"));
    launchAtLogin_->setObjectName(QStringLiteral("launchAtLogin"));
    failure_->setStyleSheet(QStringLiteral("color: red;"));
    failure_->setWordWrap(true);

    auto* panel = new QGroupBox(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Search Panel")));
    auto* panelLayout = new QFormLayout(panel);
    panelLayout->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Shortcut")), recorder_);
    panelLayout->addRow(new ShortcutHelp(std::move(togglePanel), panel));
    panelLayout->addRow(requireAuthentication_);
    panelLayout->addRow(caption(
        QT_TRANSLATE_NOOP("Zemlar", "Once per session: Zemlar asks again after the screen is "
                                    "locked, the Mac sleeps or Zemlar restarts. Without Touch ID "
                                    "macOS asks for your password."),
        panel));

    auto* browser = new QGroupBox(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Browser")));
    auto* browserLayout = new QVBoxLayout(browser);
    browserLayout->addWidget(matchBrowserTab_);
    browserLayout->addWidget(caption(
        QT_TRANSLATE_NOOP("Zemlar",
                          "Safari, Chrome and Chromium-based browsers. The first time the panel "
                          "opens, macOS asks for permission to control the browser. Account "
                          "sites are set on the Accounts tab."),
        browser));

    auto* startup = new QGroupBox(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Startup")));
    auto* startupLayout = new QVBoxLayout(startup);
    startupLayout->addWidget(launchAtLogin_);
    startupLayout->addWidget(approvalHint_);
    startupLayout->addWidget(failure_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(browser);
    layout->addWidget(startup);
    layout->addStretch();

    matchBrowserTab_->setChecked(
        userDefaults().value(QLatin1String(matchBrowserTabKey), false).toBool());
    connect(matchBrowserTab_, &QCheckBox::toggled, this, [](bool on) {
        QSettings settings = userDefaults();
        settings.setValue(QLatin1String(matchBrowserTabKey), on);
    });
    connect(requireAuthentication_, &QCheckBox::clicked, this, [this](bool on) {
        // The toggle shows the lock's state, which changes only once the lock agrees.
        showSessionLock();
        // Runs on by itself; the lock outlives this screen.
        sessionLock_.setEnabled(on);
    });
    connect(&sessionLock_, &SessionLock::changed, this, [this] { showSessionLock(); });
    connect(launchAtLogin_, &QCheckBox::clicked, this, [this](bool on) { changeLoginItem(on); });
    showSessionLock();
    showLoginItem();
}

void GeneralSettingsView::changeLoginItem(bool enabled) {
    const auto outcome = LoginItem::setEnabled(enabled);
    if (outcome) {
        loginItem_ = *outcome;
        loginItemFailed_ = false;
    } else {
        loginItem_ = LoginItem::state();
        loginItemFailed_ = true;
    }
    showLoginItem();
}

void GeneralSettingsView::refreshLoginItem() {
    loginItem_ = LoginItem::state();
    showLoginItem();
}

void GeneralSettingsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refreshLoginItem();
}

void GeneralSettingsView::showSessionLock() {
    requireAuthentication_->setChecked(sessionLock_.isEnabled());
}

void GeneralSettingsView::showLoginItem() {
    launchAtLogin_->setChecked(loginItem_ != LoginItemState::disabled);
    approvalHint_->setVisible(loginItem_ == LoginItemState::requiresApproval);
    failure_->setVisible(loginItemFailed_);
}

} // namespace zemlar
