// SPDX-License-Identifier: GPL-3.0-or-later
// A small accessibility tree served on a D-Bus connection, for the tab reader's tests and their
// helper process.
#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMap>
#include <QStringList>
#include <map>

namespace zemlar::testing {

struct ObjectReference {
    QString service;
    QDBusObjectPath path;
};

inline QDBusArgument& operator<<(QDBusArgument& argument, const ObjectReference& reference) {
    argument.beginStructure();
    argument << reference.service << reference.path;
    argument.endStructure();
    return argument;
}

inline const QDBusArgument& operator>>(const QDBusArgument& argument, ObjectReference& reference) {
    argument.beginStructure();
    argument >> reference.service >> reference.path;
    argument.endStructure();
    return argument;
}

} // namespace zemlar::testing

Q_DECLARE_METATYPE(zemlar::testing::ObjectReference)

namespace zemlar::testing {

inline constexpr quint32 active = 1u << 1;
inline constexpr quint32 showing = 1u << 25;

struct Node {
    QString name;
    quint32 state = 0;
    QStringList children;
    QMap<QString, QString> document;
};

/// Answers the accessibility calls the reader makes from a fixed tree of paths.
class FakeAccessibility final : public QDBusVirtualObject {
public:
    std::map<QString, Node> nodes;
    QString busAddress;
    QString service;
    /// The children served by another connection, by path.
    std::map<QString, QString> servedElsewhere;

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        QDBusMessage reply = message.createReply();
        const QString member = message.member();
        if (member == QStringLiteral("GetAddress")) {
            reply << busAddress;
            return connection.send(reply);
        }
        const auto found = nodes.find(message.path());
        if (found == nodes.end()) {
            return false;
        }
        const Node& node = found->second;
        if (member == QStringLiteral("GetChildren")) {
            QList<ObjectReference> children;
            for (const QString& child : node.children) {
                const auto elsewhere = servedElsewhere.find(child);
                children.append({elsewhere == servedElsewhere.end() ? service : elsewhere->second,
                                 QDBusObjectPath(child)});
            }
            reply << QVariant::fromValue(children);
        } else if (member == QStringLiteral("Get")) {
            reply << QVariant::fromValue(QDBusVariant(node.name));
        } else if (member == QStringLiteral("GetState")) {
            reply << QVariant::fromValue(QList<quint32>{node.state, 0});
        } else if (member == QStringLiteral("GetInterfaces")) {
            QStringList interfaces{QStringLiteral("org.a11y.atspi.Accessible")};
            if (!node.document.isEmpty()) {
                interfaces << QStringLiteral("org.a11y.atspi.Document");
            }
            reply << interfaces;
        } else if (member == QStringLiteral("GetAttributes")) {
            reply << QVariant::fromValue(node.document);
        } else {
            return false;
        }
        return connection.send(reply);
    }
};

/// Registers the types of the calls the fake answers.
inline void registerAccessibilityTypes() {
    qDBusRegisterMetaType<ObjectReference>();
    qDBusRegisterMetaType<QList<ObjectReference>>();
    qDBusRegisterMetaType<QMap<QString, QString>>();
}

} // namespace zemlar::testing
