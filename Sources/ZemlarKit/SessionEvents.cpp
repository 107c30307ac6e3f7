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
#include <vector>

namespace zemlar {

namespace {

const QString logindService = QStringLiteral("org.freedesktop.login1");
const QString logindPath = QStringLiteral("/org/freedesktop/login1");
const QString logindManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString logindSession = QStringLiteral("org.freedesktop.login1.Session");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

/// The screen savers' interfaces; each sends `ActiveChanged` on its own object path, so any
/// path is heard.
constexpr const char* screenSavers[] = {"org.freedesktop.ScreenSaver", "org.gnome.ScreenSaver",
                                        "org.xfce.ScreenSaver", "org.mate.ScreenSaver",
                                        "org.cinnamon.ScreenSaver"};

QDBusMessage managerCall(const char* method, const QVariant& argument) {
    QDBusMessage call = QDBusMessage::createMethodCall(logindService, logindPath, logindManager,
                                                       QString::fromLatin1(method));
    call << argument;
    return call;
}

/// The ways to the logind session, in order of preference.
std::vector<QDBusMessage> sessionLookups() {
    std::vector<QDBusMessage> lookups{managerCall("GetSessionByPID", quint32(getpid())),
                                      managerCall("GetSession", QStringLiteral("auto"))};
    const QString named = qEnvironmentVariable("XDG_SESSION_ID");
    if (!named.isEmpty()) {
        lookups.push_back(managerCall("GetSession", named));
    }
    return lookups;
}

bool turnedTrue(const QVariantMap& changed, const QString& name) {
    const auto value = changed.find(name);
    return value != changed.end() && value->toBool();
}

bool turnedFalse(const QVariantMap& changed, const QString& name) {
    const auto value = changed.find(name);
    return value != changed.end() && !value->toBool();
}

} // namespace

class SessionEvents::Receiver : public QObject {
    Q_OBJECT

public:
    Receiver(std::function<void()> onLock, QDBusConnection sessionBus, QDBusConnection systemBus,
             std::function<void(const QString&)> onSessionUnknown)
        : onLock_(std::move(onLock)), onSessionUnknown_(std::move(onSessionUnknown)),
          systemBus_(std::move(systemBus)) {
        for (const char* screenSaver : screenSavers) {
            sessionBus.connect(QString(), QString(), QString::fromLatin1(screenSaver),
                               QStringLiteral("ActiveChanged"), this,
                               SLOT(screenSaverActiveChanged(bool)));
        }
        if (!systemBus_.isConnected()) {
            return;
        }
        systemBus_.connect(QString(), logindPath, logindManager, QStringLiteral("PrepareForSleep"),
                           this, SLOT(prepareForSleep(bool)));
        findSession(sessionLookups(), 0, {});
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
        if (turnedFalse(changed, QStringLiteral("Active")) ||
            turnedTrue(changed, QStringLiteral("LockedHint"))) {
            onLock_();
        }
    }

private:
    /// Tries the lookups in turn without waiting for logind, and listens to the first session
    /// found.
    void findSession(std::vector<QDBusMessage> lookups, std::size_t next, QStringList failures) {
        if (next == lookups.size()) {
            if (onSessionUnknown_) {
                onSessionUnknown_(failures.join(QStringLiteral("; ")));
            }
            return;
        }
        const QDBusMessage call = lookups[next];
        auto* watcher = new QDBusPendingCallWatcher(systemBus_.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, lookups = std::move(lookups), next,
                 failures = std::move(failures)](QDBusPendingCallWatcher* finished) mutable {
                    const QDBusPendingReply<QDBusObjectPath> reply = *finished;
                    finished->deleteLater();
                    if (!reply.isError()) {
                        listenToSession(reply.value().path());
                        return;
                    }
                    const QDBusMessage& tried = lookups[next];
                    failures << tried.member() + QLatin1Char('(') +
                                    tried.arguments().front().toString() + QStringLiteral("): ") +
                                    reply.error().name();
                    findSession(std::move(lookups), next + 1, std::move(failures));
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
    std::function<void(const QString&)> onSessionUnknown_;
    QDBusConnection systemBus_;
};

SessionEvents::SessionEvents(std::function<void()> onLock, QDBusConnection sessionBus,
                             QDBusConnection systemBus,
                             std::function<void(const QString&)> onSessionUnknown)
    : receiver_(std::make_unique<Receiver>(std::move(onLock), std::move(sessionBus),
                                           std::move(systemBus), std::move(onSessionUnknown))) {}

SessionEvents::~SessionEvents() = default;

} // namespace zemlar

#include "SessionEvents.moc"
