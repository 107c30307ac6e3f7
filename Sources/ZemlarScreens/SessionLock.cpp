// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarScreens/SessionLock.hpp"

#include "ZemlarScreens/Texts.hpp"

#include <QSettings>

namespace zemlar {

namespace {

QSettings userDefaults() {
    return QSettings(QStringLiteral("Zemlar"), QStringLiteral("Zemlar"));
}

} // namespace

SessionLock::SessionLock(DeviceAuthentication& authentication, QObject* parent)
    : SessionLock(authentication, QDBusConnection::sessionBus(), QDBusConnection::systemBus(),
                  parent) {}

SessionLock::SessionLock(DeviceAuthentication& authentication, QDBusConnection sessionBus,
                         QDBusConnection systemBus, QObject* parent)
    : QObject(parent), authentication_(authentication),
      enabled_(userDefaults().value(QLatin1String(settingsKey), false).toBool()),
      events_([this] { lock(); }, std::move(sessionBus), std::move(systemBus)) {}

SessionLock::~SessionLock() = default;

QCoro::Task<bool> SessionLock::unlock() {
    if (!enabled_ || unlocked_) {
        co_return true;
    }
    QCoro::Task<bool> authenticating = authentication_.authenticate(
        Texts::text(QT_TRANSLATE_NOOP("Zemlar", "show your two-factor codes")));
    const bool succeeded = co_await authenticating;
    setState(enabled_, succeeded);
    co_return succeeded;
}

QCoro::Task<void> SessionLock::setEnabled(bool enabled) {
    if (enabled) {
        storeEnabled(true);
        setState(true, false);
        co_return;
    }
    if (enabled_) {
        QCoro::Task<bool> authenticating = authentication_.authenticate(
            Texts::text(QT_TRANSLATE_NOOP("Zemlar", "turn off the Touch ID check")));
        const bool succeeded = co_await authenticating;
        if (!succeeded) {
            co_return;
        }
    }
    storeEnabled(false);
    setState(false, unlocked_);
}

void SessionLock::lock() {
    setState(enabled_, false);
}

void SessionLock::setState(bool enabled, bool unlocked) {
    if (enabled == enabled_ && unlocked == unlocked_) {
        return;
    }
    enabled_ = enabled;
    unlocked_ = unlocked;
    emit changed();
}

void SessionLock::storeEnabled(bool enabled) {
    QSettings settings = userDefaults();
    settings.setValue(QLatin1String(settingsKey), enabled);
}

} // namespace zemlar
