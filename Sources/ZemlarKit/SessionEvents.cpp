// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/SessionEvents.hpp"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QVariantMap>
#include <unistd.h>
#include <utility>

namespace zemlar {

namespace {

const QString logindService = QStringLiteral("org.freedesktop.login1");
const QString logindPath = QStringLiteral("/org/freedesktop/login1");
const QString logindManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString logindSession = QStringLiteral("org.freedesktop.login1.Session");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

} // namespace

class SessionEvents::Receiver : public QObject {
    Q_OBJECT

public:
    Receiver(std::function<void()> onLock, QDBusConnection sessionBus, QDBusConnection systemBus)
        : onLock_(std::move(onLock)), systemBus_(std::move(systemBus)) {
        for (const char* screenSaver : {"org.freedesktop.ScreenSaver", "org.gnome.ScreenSaver"}) {
            sessionBus.connect(QString(), QString(), QString::fromLatin1(screenSaver),
                               QStringLiteral("ActiveChanged"), this,
                               SLOT(screenSaverActiveChanged(bool)));
        }
        if (!systemBus_.isConnected()) {
            return;
        }
        systemBus_.connect(QString(), logindPath, logindManager, QStringLiteral("PrepareForSleep"),
                           this, SLOT(prepareForSleep(bool)));
        followOwnSession();
    }

private slots:
    void screenSaverActiveChanged(bool active) {
        if (active) {
            onLock_();
        }
    }

    void prepareForSleep(bool goingToSleep) {
        if (goingToSleep) {
            onLock_();
        }
    }

    void sessionLocked() { onLock_(); }

    void sessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                  const QStringList&) {
        if (interface != logindSession) {
            return;
        }
        if (const auto active = changed.find(QStringLiteral("Active"));
            active != changed.end() && !active->toBool()) {
            onLock_();
        }
    }

private:
    /// Asks logind, without waiting, which session this process belongs to and listens to it.
    void followOwnSession() {
        QDBusMessage call = QDBusMessage::createMethodCall(logindService, logindPath, logindManager,
                                                           QStringLiteral("GetSessionByPID"));
        call << quint32(getpid());
        auto* watcher = new QDBusPendingCallWatcher(systemBus_.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this](QDBusPendingCallWatcher* finished) {
                    const QDBusPendingReply<QDBusObjectPath> reply = *finished;
                    finished->deleteLater();
                    if (!reply.isError()) {
                        listenToSession(reply.value().path());
                    }
                });
    }

    void listenToSession(const QString& path) {
        systemBus_.connect(QString(), path, logindSession, QStringLiteral("Lock"), this,
                           SLOT(sessionLocked()));
        systemBus_.connect(QString(), path, propertiesInterface,
                           QStringLiteral("PropertiesChanged"), this,
                           SLOT(sessionPropertiesChanged(QString, QVariantMap, QStringList)));
    }

    std::function<void()> onLock_;
    QDBusConnection systemBus_;
};

SessionEvents::SessionEvents(std::function<void()> onLock, QDBusConnection sessionBus,
                             QDBusConnection systemBus)
    : receiver_(std::make_unique<Receiver>(std::move(onLock), std::move(sessionBus),
                                           std::move(systemBus))) {}

SessionEvents::~SessionEvents() = default;

} // namespace zemlar

#include "SessionEvents.moc"
