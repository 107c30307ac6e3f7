// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace zemlar {

/// One shortcut as the GlobalShortcuts portal exchanges it: `(sa{sv})`, an identifier and its
/// properties ("description", "preferred_trigger", "trigger_description").
struct PortalShortcut {
    QString id;
    QVariantMap properties;

    static PortalShortcut wanted(const QString& id, const QString& description,
                                 const QString& preferredTrigger);
    QString triggerDescription() const;

    /// The shortcuts of a response or signal; what is not a shortcut list gives an empty list.
    static QList<PortalShortcut> list(const QVariant& value);

    /// Makes the type and its list known to Qt D-Bus (once).
    static void registerType();
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut);
const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut);

} // namespace zemlar

Q_DECLARE_METATYPE(zemlar::PortalShortcut)
