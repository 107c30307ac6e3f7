// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace zemlar {

/// One running Zemlar per user and display. The running instance holds an flock on a lock file
/// in a folder only the user can enter, and listens on a socket beside it; a later launch finds
/// the lock taken, asks the running instance to open its settings window and ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    /// $XDG_RUNTIME_DIR when it is the user's own and private (0700), otherwise the data folder.
    static QString defaultFolder();

    explicit SingleInstance(QString folder = defaultFolder(), QObject* parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    /// True: this is the running instance from now on, answering later launches. False: another
    /// instance runs and has been sent the request (a line without its newline; by default, to
    /// open its settings window).
    bool claim(const QByteArray& request = QByteArrayLiteral("settings"));

    const QString& socketPath() const { return socketPath_; }

signals:
    /// A later launch asked for the settings window.
    void settingsRequested();
    /// A later launch sent another request line.
    void requested(const QByteArray& request);

private:
    void listen();
    void notifyRunning(const QByteArray& request) const;

    QString lockPath_;
    QString socketPath_;
    int lock_ = -1;
    QLocalServer* server_ = nullptr;
};

} // namespace zemlar
