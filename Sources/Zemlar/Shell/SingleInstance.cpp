// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstance.hpp"

#include "InstanceClient.hpp"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <ZemlarKit/ListFile.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zemlar {
namespace {

using namespace std::chrono_literals;

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

QStringList SingleInstance::socketPaths(const QString& folder) {
    const QString own = folder + QLatin1Char('/') + baseName() + QStringLiteral(".socket");
    QStringList paths{own};
    const QStringList others = QDir(folder).entryList(
        {QStringLiteral("app.zemlar.Zemlar-*.socket")}, QDir::System, QDir::Name);
    for (const QString& name : others) {
        if (const QString path = folder + QLatin1Char('/') + name; path != own) {
            paths.append(path);
        }
    }
    return paths;
}

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), lockPath_(folder + QLatin1Char('/') + baseName() + QStringLiteral(".lock")),
      socketPath_(folder + QLatin1Char('/') + baseName() + QStringLiteral(".socket")) {}

SingleInstance::~SingleInstance() {
    if (lock_ >= 0) {
        ::close(lock_);
    }
}

bool SingleInstance::claim() {
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
        notifyRunning();
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
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receive(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void SingleInstance::handle(const QString& request, Handler handler) {
    handlers_.insert(request, std::move(handler));
}

void SingleInstance::receive(QLocalSocket* socket) {
    // The bytes of a frame that has not arrived whole wait on the socket itself.
    QByteArray buffer = socket->property("pending").toByteArray() + socket->readAll();
    for (;;) {
        switch (InstanceMessage::check(buffer)) {
        case InstanceMessage::Frame::invalid:
            socket->abort();
            return;
        case InstanceMessage::Frame::incomplete:
            socket->setProperty("pending", buffer);
            return;
        case InstanceMessage::Frame::whole:
            if (auto request = InstanceMessage::takeRequest(buffer)) {
                answer(QPointer<QLocalSocket>(socket), std::move(*request));
            }
            break;
        }
    }
}

QCoro::Task<> SingleInstance::answer(QPointer<QLocalSocket> socket, InstanceRequest request) {
    CommandReply reply;
    if (request.name == QLatin1String(InstanceRequest::settings)) {
        emit settingsRequested();
    } else if (const auto handler = handlers_.constFind(request.name);
               handler != handlers_.constEnd()) {
        QCoro::Task<CommandReply> answering = (*handler)(std::move(request.arguments));
        CommandReply answered = co_await answering;
        reply = std::move(answered);
    } else {
        reply.outcome = CommandReply::Outcome::failed;
        reply.errors.append(Texts::text(
            QT_TRANSLATE_NOOP("Zemlar", "The running Zemlar does not know this request")));
    }
    if (socket) {
        socket->write(InstanceMessage::encode(reply));
    }
}

void SingleInstance::notifyRunning() const {
    // The running instance may have taken the lock a moment ago and not be listening yet.
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        if (InstanceClient::ask(socketPath_, {.name = InstanceRequest::settings, .arguments = {}},
                                500ms, 2s)) {
            return;
        }
        QThread::msleep(50);
    }
}

} // namespace zemlar
