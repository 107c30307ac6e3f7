// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstance.hpp"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <ZemlarKit/ListFile.hpp>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zemlar {
namespace {

bool isPrivateFolder(const QByteArray& path) {
    struct stat status {};
    return !path.isEmpty() && ::lstat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid() && (status.st_mode & 077) == 0;
}

/// The name of the lock file and the socket without their endings: one instance per display.
QString baseName() {
    QString display = qEnvironmentVariable("DISPLAY");
    display.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("app.zemlar.Zemlar-%1").arg(display);
}

/// The socket answers when an instance listens; a socket file left by one that crashed refuses.
bool isStale(const QString& socketPath) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (socket.waitForConnected(500)) {
        socket.disconnectFromServer();
        return false;
    }
    return socket.error() == QLocalSocket::ConnectionRefusedError;
}

} // namespace

QString SingleInstance::defaultFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime)) {
        return QString::fromLocal8Bit(runtime);
    }
    return QString::fromStdString(ListFile::dataFolder().string());
}

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), lockPath_(folder + QLatin1Char('/') + baseName() + QStringLiteral(".lock")),
      socketPath_(folder + QLatin1Char('/') + baseName() + QStringLiteral(".socket")) {}

SingleInstance::~SingleInstance() {
    if (lock_ >= 0) {
        ::close(lock_);
    }
}

bool SingleInstance::claim(const QByteArray& request) {
    QDir().mkpath(QFileInfo(lockPath_).path());
    const QByteArray path = QFile::encodeName(lockPath_);
    lock_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock_ < 0) {
        // Nothing to guard with: run, as a lone launch would.
        listen();
        return true;
    }
    if (::flock(lock_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lock_);
        lock_ = -1;
        notifyRunning(request);
        return false;
    }
    if (isStale(socketPath_)) {
        QLocalServer::removeServer(socketPath_);
    }
    listen();
    return true;
}

void SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath_)) {
        return;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine()) {
                    const QByteArray line = socket->readLine().trimmed();
                    if (line == "settings") {
                        emit settingsRequested();
                    } else {
                        emit requested(line);
                    }
                }
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void SingleInstance::notifyRunning(const QByteArray& request) const {
    // The running instance may have taken the lock a moment ago and not be listening yet.
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(500)) {
            socket.write(request + '\n');
            socket.waitForBytesWritten(500);
            socket.disconnectFromServer();
            return;
        }
        QThread::msleep(50);
    }
}

} // namespace zemlar
