// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstance.hpp"

#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace zemlar {
namespace {

const QByteArray request = "settings\n";

} // namespace

QString SingleInstance::defaultName() {
    QString display = qEnvironmentVariable("DISPLAY");
    display.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("app.zemlar.Zemlar-%1%2").arg(getuid()).arg(display);
}

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

bool SingleInstance::notifyRunning() const {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(500)) {
        return false;
    }
    socket.write(request);
    socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // A socket left by an instance that crashed: nobody answered it, so take it over.
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_)) {
            return false;
        }
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("settings")) {
                    emit settingsRequested();
                }
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return true;
}

} // namespace zemlar
