// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarScreens/SessionLock.hpp"

#include "ZemlarScreens/Texts.hpp"

#include <QPointer>
#include <QSettings>
#include <qcoro/qcorofuture.h>

namespace zemlar {

namespace {

QSettings userDefaults() {
    return QSettings(QStringLiteral("Zemlar"), QStringLiteral("Zemlar"));
}

/// Gives the turn back however the authentication that holds it ends, a thrown exception
/// included.
class TurnEnd {
public:
    explicit TurnEnd(std::shared_ptr<QPromise<void>> turn) : turn_(std::move(turn)) {}
    ~TurnEnd() { turn_->finish(); }
    TurnEnd(const TurnEnd&) = delete;
    TurnEnd& operator=(const TurnEnd&) = delete;

private:
    std::shared_ptr<QPromise<void>> turn_;
};

} // namespace

SessionLock::SessionLock(DeviceAuthentication& authentication, QObject* parent)
    : SessionLock(authentication, QDBusConnection::sessionBus(), QDBusConnection::systemBus(),
                  parent) {}

SessionLock::SessionLock(DeviceAuthentication& authentication, QDBusConnection sessionBus,
                         QDBusConnection systemBus, QObject* parent)
    : QObject(parent), authentication_(authentication),
      enabled_(userDefaults().value(QLatin1String(settingsKey), false).toBool()),
      events_([this] { lock(); }, std::move(sessionBus), std::move(systemBus),
              [this](const QString& details) { emit sessionUnknown(details); }) {}

SessionLock::~SessionLock() = default;

QCoro::Task<bool> SessionLock::unlock() {
    if (!enabled_ || unlocked_) {
        co_return true;
    }
    const QPointer<SessionLock> alive(this);
    auto waiting = takeTurn();
    const Turn turn = co_await waiting;
    if (!turn) {
        co_return false;
    }
    const TurnEnd end(turn);
    // The authentication waited for may have unlocked already.
    if (!enabled_ || unlocked_) {
        co_return true;
    }
    QCoro::Task<bool> authenticating = authentication_.authenticate(
        Texts::text(QT_TRANSLATE_NOOP("Zemlar", "show your two-factor codes")));
    const bool succeeded = co_await authenticating;
    if (!alive) {
        co_return false;
    }
    setState(enabled_, succeeded);
    co_return succeeded;
}

QCoro::Task<void> SessionLock::setEnabled(bool enabled) {
    if (enabled) {
        storeEnabled(true);
        setState(true, false);
        co_return;
    }
    const QPointer<SessionLock> alive(this);
    auto waiting = takeTurn();
    const Turn turn = co_await waiting;
    if (!turn) {
        co_return;
    }
    const TurnEnd end(turn);
    if (enabled_) {
        QCoro::Task<bool> authenticating = authentication_.authenticate(
            Texts::text(QT_TRANSLATE_NOOP("Zemlar", "turn off the Touch ID check")));
        const bool succeeded = co_await authenticating;
        if (!succeeded || !alive) {
            co_return;
        }
    }
    storeEnabled(false);
    setState(false, unlocked_);
}

void SessionLock::lock() {
    setState(enabled_, false);
    emit locked();
}

QCoro::Task<SessionLock::Turn> SessionLock::takeTurn() {
    const QPointer<SessionLock> alive(this);
    while (running_ && !running_->future().isFinished()) {
        QFuture<void> ended = running_->future();
        co_await ended;
        if (!alive) {
            co_return Turn();
        }
    }
    running_ = std::make_shared<QPromise<void>>();
    running_->start();
    // A copy: QCoro moves from whatever co_return names, members included.
    Turn turn = running_;
    co_return turn;
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
