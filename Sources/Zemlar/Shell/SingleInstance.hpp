// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "InstanceRequest.hpp"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <qcoro/qcorotask.h>

class QLocalServer;
class QLocalSocket;

namespace zemlar {

/// One running Zemlar per user and display. The running instance holds an flock on a lock file
/// in a folder only the user can enter, and listens on a socket beside it; a later launch finds
/// the lock taken, asks the running instance to open its settings window and ends. Commands ask
/// the running instance through the same socket (see InstanceRequest).
class SingleInstance : public QObject {
    Q_OBJECT

public:
    /// $XDG_RUNTIME_DIR when it is the user's own and private (0700), otherwise the data folder.
    static QString defaultFolder();

    /// The sockets where an instance may listen: this display's first, then those of other
    /// displays (a command run over SSH has none of its own).
    static QStringList socketPaths(const QString& folder = defaultFolder());

    /// Answers a request of a later launch or a command; runs on the main thread.
    using Handler = std::function<QCoro::Task<CommandReply>(QStringList arguments)>;

    explicit SingleInstance(QString folder = defaultFolder(), QObject* parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    /// True: this is the running instance from now on, answering later launches. False: another
    /// instance runs and has been asked to open its settings window.
    bool claim();

    const QString& socketPath() const { return socketPath_; }

    /// From now on, requests of that name go to the handler. The settings request is answered
    /// by `settingsRequested`.
    void handle(const QString& request, Handler handler);

signals:
    /// A later launch asked for the settings window.
    void settingsRequested();

private:
    void listen();
    void receive(QLocalSocket* socket);
    QCoro::Task<> answer(QPointer<QLocalSocket> socket, InstanceRequest request);
    void notifyRunning() const;

    QString lockPath_;
    QString socketPath_;
    int lock_ = -1;
    QLocalServer* server_ = nullptr;
    QHash<QString, Handler> handlers_;
};

} // namespace zemlar
