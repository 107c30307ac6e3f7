// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortalShortcut.hpp"

#include <QDBusMetaType>

namespace zemlar {

PortalShortcut PortalShortcut::wanted(const QString& id, const QString& description,
                                      const QString& preferredTrigger) {
    PortalShortcut shortcut{.id = id, .properties = {{QStringLiteral("description"), description}}};
    if (!preferredTrigger.isEmpty()) {
        shortcut.properties.insert(QStringLiteral("preferred_trigger"), preferredTrigger);
    }
    return shortcut;
}

QString PortalShortcut::triggerDescription() const {
    return properties.value(QStringLiteral("trigger_description")).toString();
}

QList<PortalShortcut> PortalShortcut::list(const QVariant& value) {
    if (!value.canConvert<QDBusArgument>()) {
        return {};
    }
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a(sa{sv})")) {
        return {};
    }
    return qdbus_cast<QList<PortalShortcut>>(argument);
}

void PortalShortcut::registerType() {
    static const bool registered = [] {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        return true;
    }();
    (void)registered;
}

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

} // namespace zemlar
