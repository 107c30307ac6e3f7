// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <map>
#include <optional>
#include <qcoro/qcorotask.h>
#include <vector>

class QDBusMessage;

namespace zemlar {

/// The desktop's global shortcuts through the org.freedesktop.portal.GlobalShortcuts portal: one
/// session for the application, the shortcuts bound in it with our preferred keys, and the
/// desktop's presses reported by identifier. The desktop decides the keys in the end (often in a
/// dialog of its own); `trigger` gives its final choice as it describes it. Main thread only.
class GlobalShortcutsPortal : public QObject {
    Q_OBJECT

public:
    struct Shortcut {
        QString id;
        /// What the shortcut does, shown by the desktop.
        QString description;
        /// The keys we would like, in the portal's format ("CTRL+ALT+o"); may be empty.
        QString preferredTrigger;
    };

    static constexpr const char* interface = "org.freedesktop.portal.GlobalShortcuts";

    explicit GlobalShortcutsPortal(QDBusConnection bus = QDBusConnection::sessionBus(),
                                   QObject* parent = nullptr);
    ~GlobalShortcutsPortal() override;

    /// Whether the desktop offers the portal (it has a `version`).
    static bool offered(QDBusConnection bus = QDBusConnection::sessionBus());

    /// Opens the session on first use and binds the shortcuts; whether the desktop accepted.
    QCoro::Task<bool> bind(std::vector<Shortcut> shortcuts);
    /// Reads the bound shortcuts again (ListShortcuts); whether that worked.
    QCoro::Task<bool> refresh();

    /// The desktop's description of the keys bound to a shortcut; nothing while unknown.
    std::optional<QString> trigger(const QString& id) const;

signals:
    void activated(const QString& id);
    void deactivated(const QString& id);
    /// The desktop's choice of keys is known or has changed.
    void triggersChanged();

private slots:
    void receiveActivated(const QDBusMessage& message);
    void receiveDeactivated(const QDBusMessage& message);
    void receiveShortcutsChanged(const QDBusMessage& message);

private:
    QCoro::Task<bool> openSession();
    /// A request about the session's shortcuts whose answer lists them with their keys.
    QCoro::Task<bool> requestShortcuts(QString method, QVariantList arguments);
    /// The shortcut identifier of a signal that belongs to our session.
    std::optional<QString> ownShortcut(const QDBusMessage& message) const;
    void takeTriggers(const QVariant& shortcuts);
    void listen(const char* signal, const char* slot);

    QDBusConnection bus_;
    QString session_;
    std::map<QString, QString> triggers_;
};

} // namespace zemlar
