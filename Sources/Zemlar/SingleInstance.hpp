// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace zemlar {

/// One running Zemlar per user session: the first instance listens on a local socket named
/// after the user; a later launch finds it, asks it to open its settings window and ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    /// The socket name for this user and X display.
    static QString defaultName();

    explicit SingleInstance(QString name = defaultName(), QObject* parent = nullptr);

    /// Tells a running instance to open its settings window; false when none answers.
    bool notifyRunning() const;
    /// Starts answering later launches; false when the socket cannot be opened.
    bool listen();

signals:
    /// A later launch asked for the settings window.
    void settingsRequested();

private:
    QString name_;
    QLocalServer* server_ = nullptr;
};

} // namespace zemlar
