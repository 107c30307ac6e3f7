// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortalRequest.hpp"

#include <QCoroDBusPendingCall>
#include <QCoroSignal>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QObject>
#include <QRandomGenerator>
#include <atomic>

namespace zemlar::Portal {
namespace {

constexpr const char* requestInterface = "org.freedesktop.portal.Request";

/// Holds the Response of one request object.
class ResponseWaiter : public QObject {
    Q_OBJECT

public:
    ResponseWaiter(QDBusConnection bus, QString path) : bus_(std::move(bus)) { listen(path); }
    ~ResponseWaiter() override { stopListening(); }

    /// Portals older than the handle_token convention answer on another path.
    void follow(const QString& path) {
        if (path != path_) {
            stopListening();
            listen(path);
        }
    }

    const QString& path() const { return path_; }
    const std::optional<Response>& response() const { return response_; }

signals:
    void answered();

public slots:
    void receive(uint code, const QVariantMap& results) {
        response_ = Response{.code = code, .results = results};
        emit answered();
    }

private:
    void listen(const QString& path) {
        path_ = path;
        bus_.connect(QString(), path_, QString::fromLatin1(requestInterface),
                     QStringLiteral("Response"), this, SLOT(receive(uint, QVariantMap)));
    }

    void stopListening() {
        bus_.disconnect(QString(), path_, QString::fromLatin1(requestInterface),
                        QStringLiteral("Response"), this, SLOT(receive(uint, QVariantMap)));
    }

    QDBusConnection bus_;
    QString path_;
    std::optional<Response> response_;
};

/// The request path the portal derives from our unique name and the token.
QString requestPath(const QDBusConnection& bus, const QString& token) {
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

QDBusMessage methodCall(const QString& interface, const QString& method,
                        const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QString::fromLatin1(service), QString::fromLatin1(objectPath), interface, method);
    message.setArguments(arguments);
    return message;
}

} // namespace

QString newToken() {
    static std::atomic<unsigned> counter = 0;
    return QStringLiteral("zemlar%1_%2").arg(++counter).arg(QRandomGenerator::global()->generate());
}

QCoro::Task<Response> request(QDBusConnection bus, QString interface, QString method,
                              QVariantList arguments, QVariantMap options,
                              std::chrono::milliseconds timeout) {
    const QString token = newToken();
    options.insert(QStringLiteral("handle_token"), token);
    arguments.append(options);
    // Listening starts before the call so that no answer can come first.
    ResponseWaiter waiter(bus, requestPath(bus, token));
    QDBusPendingCall calling = bus.asyncCall(methodCall(interface, method, arguments));
    const QDBusMessage reply = co_await calling;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        co_return Response{};
    }
    waiter.follow(reply.arguments().constFirst().value<QDBusObjectPath>().path());
    if (!waiter.response()) {
        auto answering = qCoro(&waiter, &ResponseWaiter::answered, timeout);
        const auto answered = co_await answering;
        if (!answered) {
            bus.asyncCall(QDBusMessage::createMethodCall(
                QString::fromLatin1(service), waiter.path(), QString::fromLatin1(requestInterface),
                QStringLiteral("Close")));
            co_return Response{};
        }
    }
    co_return *waiter.response();
}

QCoro::Task<bool> call(QDBusConnection bus, QString interface, QString method,
                       QVariantList arguments) {
    QDBusPendingCall calling = bus.asyncCall(methodCall(interface, method, arguments));
    const QDBusMessage reply = co_await calling;
    co_return reply.type() == QDBusMessage::ReplyMessage;
}

std::optional<std::uint32_t> version(QDBusConnection bus, const QString& interface) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        QString::fromLatin1(service), QString::fromLatin1(objectPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << interface << QStringLiteral("version");
    const QDBusMessage reply = bus.call(get, QDBus::Block, 2000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return std::nullopt;
    }
    bool isNumber = false;
    const uint number =
        reply.arguments().constFirst().value<QDBusVariant>().variant().toUInt(&isNumber);
    if (!isNumber) {
        return std::nullopt;
    }
    return number;
}

QString sessionHandle(const QVariantMap& results) {
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    if (handle.canConvert<QDBusObjectPath>()) {
        return handle.value<QDBusObjectPath>().path();
    }
    return handle.toString();
}

void registerApplication(QDBusConnection bus, const QString& applicationID) {
    QDBusMessage registration = QDBusMessage::createMethodCall(
        QString::fromLatin1(service), QString::fromLatin1(objectPath),
        QStringLiteral("org.freedesktop.host.portal.Registry"), QStringLiteral("Register"));
    registration << applicationID << QVariantMap();
    bus.call(registration, QDBus::Block, 2000);
}

void closeSession(QDBusConnection bus, const QString& sessionHandle) {
    bus.asyncCall(QDBusMessage::createMethodCall(QString::fromLatin1(service), sessionHandle,
                                                 QStringLiteral("org.freedesktop.portal.Session"),
                                                 QStringLiteral("Close")));
}

} // namespace zemlar::Portal

#include "PortalRequest.moc"
