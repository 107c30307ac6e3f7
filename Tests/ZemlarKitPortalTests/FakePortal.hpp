// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop portal on the private bus: the calls our clients make, each answered at once.
#pragma once

#include <Portal/PortalShortcut.hpp>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QStringList>
#include <QThread>
#include <mutex>
#include <vector>

namespace zemlar::testing {

class FakePortal : public QDBusVirtualObject {
public:
    using Call = QDBusMessage;

    /// The desktop's own choice of keys for every shortcut bound.
    static constexpr const char* chosenTrigger = "Super+Z";
    static constexpr const char* path = "/org/freedesktop/portal/desktop";

    explicit FakePortal(QStringList offered)
        : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-portal")),
          offered_(std::move(offered)) {
        bus_.registerVirtualObject(path, this, QDBusConnection::SubPath);
        bus_.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
        // Its own thread answers while the client's thread waits in a blocking call.
        moveToThread(&thread_);
        thread_.start();
    }
    ~FakePortal() override {
        thread_.quit();
        thread_.wait();
        bus_.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
        bus_.unregisterObject(path);
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-portal"));
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        const std::lock_guard lock(mutex_);
        const QString method = message.member();
        calls_.push_back(message);
        if (method == QLatin1String("Get")) { // the interface's version
            bus_.send(offered_.contains(message.arguments().value(0).toString())
                          ? message.createReply(QVariant::fromValue(QDBusVariant(2U)))
                          : message.createErrorReply(QDBusError::InvalidArgs, "no interface"));
            return true;
        }
        const auto options = qdbus_cast<QVariantMap>(message.arguments().value(
            message.arguments().size() - 1)); // empty for a call without arguments
        const QString sender = message.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
        if (!options.contains(QStringLiteral("handle_token"))) {
            bus_.send(message.createReply());
            return true;
        }
        const QString request = QStringLiteral("%1/request/%2/%3")
                                    .arg(path, sender, options["handle_token"].toString());
        bus_.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QVariantMap results;
        if (method == QLatin1String("CreateSession")) {
            lastSession_ = QStringLiteral("%1/session/%2/%3")
                               .arg(path, sender, options["session_handle_token"].toString());
            results = {{QStringLiteral("session_handle"), lastSession_}};
        } else if (method == QLatin1String("Start")) {
            results = {
                {QStringLiteral("devices"), 1U},
                {QStringLiteral("restore_token"), QStringLiteral("token-%1").arg(++tokens_)}};
        } else if (method == QLatin1String("BindShortcuts")) {
            QList<PortalShortcut> bound = PortalShortcut::list(message.arguments().value(1));
            for (PortalShortcut& shortcut : bound) {
                shortcut.properties = {{QStringLiteral("trigger_description"), chosenTrigger}};
            }
            results = {{QStringLiteral("shortcuts"), QVariant::fromValue(bound)}};
        }
        QDBusMessage response = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << 0U << results;
        bus_.send(response);
        return true;
    }

    /// The desktop reports a press of a shortcut of the session, by default the last one made.
    void activate(const QString& id, QString session = {}) {
        QDBusMessage signal = QDBusMessage::createSignal(
            path, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), "Activated");
        const std::lock_guard lock(mutex_);
        signal << QVariant::fromValue(QDBusObjectPath(session.isEmpty() ? lastSession_ : session))
               << id << qulonglong{0} << QVariantMap();
        bus_.send(signal);
    }

    std::vector<Call> callsOf(const QString& method) const {
        const std::lock_guard lock(mutex_);
        std::vector<Call> found;
        std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(found),
                     [&](const Call& call) { return call.member() == method; });
        return found;
    }

private:
    QDBusConnection bus_;
    QStringList offered_;
    QThread thread_;
    mutable std::mutex mutex_;
    std::vector<Call> calls_;
    QString lastSession_;
    int tokens_ = 0;
};

} // namespace zemlar::testing
