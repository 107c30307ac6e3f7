// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the desktop portal on the private session bus: just the calls our clients make,
// each answered at once and followed by its Response.
#pragma once

#include <Portal/PortalShortcut.hpp>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QStringList>
#include <QThread>
#include <mutex>
#include <utility>
#include <vector>

namespace zemlar::testing {

class FakePortal : public QDBusVirtualObject {
public:
    struct Call {
        QString method;
        QVariantList arguments;
    };

    /// The desktop's own choice of keys for every shortcut bound.
    static constexpr const char* chosenTrigger = "Super+Z";

    explicit FakePortal(QStringList offered)
        : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                             QStringLiteral("fake-portal"))),
          offered_(std::move(offered)) {
        bus_.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"), this,
                                   QDBusConnection::SubPath);
        bus_.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
        // Its own thread answers while the client's thread waits in a blocking call.
        moveToThread(&thread_);
        thread_.start();
    }

    ~FakePortal() override {
        thread_.quit();
        thread_.wait();
        bus_.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
        bus_.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-portal"));
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        const std::lock_guard lock(mutex_);
        calls_.push_back({message.member(), message.arguments()});
        if (message.member() == QLatin1String("Get")) {
            return answerVersion(message);
        }
        const QVariantMap options = message.arguments().isEmpty()
                                        ? QVariantMap()
                                        : qdbus_cast<QVariantMap>(message.arguments().constLast());
        if (!options.contains(QStringLiteral("handle_token"))) {
            bus_.send(message.createReply());
            return true;
        }
        const QString request =
            QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                .arg(senderPart(message), options[QStringLiteral("handle_token")].toString());
        bus_.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage response = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << 0U << results(message, options);
        bus_.send(response);
        return true;
    }

    /// The desktop reports a press of a shortcut of the session.
    void activate(const QString& session, const QString& id) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong{0}
               << QVariantMap();
        bus_.send(signal);
    }

    std::vector<Call> callsOf(const QString& method) const {
        const std::lock_guard lock(mutex_);
        std::vector<Call> found;
        for (const Call& call : calls_) {
            if (call.method == method) {
                found.push_back(call);
            }
        }
        return found;
    }

    QString lastSession() const {
        const std::lock_guard lock(mutex_);
        return lastSession_;
    }

private:
    static QString senderPart(const QDBusMessage& message) {
        return message.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    }

    bool answerVersion(const QDBusMessage& message) {
        if (!offered_.contains(message.arguments().value(0).toString())) {
            bus_.send(message.createErrorReply(QDBusError::InvalidArgs,
                                               QStringLiteral("no such interface")));
            return true;
        }
        bus_.send(message.createReply(QVariant::fromValue(QDBusVariant(2U))));
        return true;
    }

    QVariantMap results(const QDBusMessage& message, const QVariantMap& options) {
        const QString method = message.member();
        if (method == QLatin1String("CreateSession")) {
            lastSession_ = QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                               .arg(senderPart(message),
                                    options[QStringLiteral("session_handle_token")].toString());
            return {{QStringLiteral("session_handle"), lastSession_}};
        }
        if (method == QLatin1String("Start")) {
            return {
                {QStringLiteral("devices"), 1U},
                {QStringLiteral("restore_token"), QStringLiteral("token-%1").arg(++tokensIssued_)}};
        }
        if (method == QLatin1String("BindShortcuts")) {
            return {{QStringLiteral("shortcuts"), boundShortcuts(message.arguments().value(1))}};
        }
        return {};
    }

    /// Every shortcut asked for, with the desktop's own choice of keys.
    static QVariant boundShortcuts(const QVariant& wanted) {
        QList<PortalShortcut> bound = PortalShortcut::list(wanted);
        for (PortalShortcut& shortcut : bound) {
            shortcut.properties = {
                {QStringLiteral("trigger_description"), QString::fromLatin1(chosenTrigger)}};
        }
        return QVariant::fromValue(bound);
    }

    QDBusConnection bus_;
    QStringList offered_;
    QThread thread_;
    mutable std::mutex mutex_;
    std::vector<Call> calls_;
    QString lastSession_;
    int tokensIssued_ = 0;
};

} // namespace zemlar::testing
