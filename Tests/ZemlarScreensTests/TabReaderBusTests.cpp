// SPDX-License-Identifier: GPL-3.0-or-later
// The tab reader against a small accessibility tree served on the private session bus, which
// also stands in for the accessibility bus.
#include "Support.hpp"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QThread>
#include <ZemlarKit/AtspiTabReader.hpp>
#include <cstdlib>
#include <map>
#include <string_view>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

struct ObjectReference {
    QString service;
    QDBusObjectPath path;
};

QDBusArgument& operator<<(QDBusArgument& argument, const ObjectReference& reference) {
    argument.beginStructure();
    argument << reference.service << reference.path;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ObjectReference& reference) {
    argument.beginStructure();
    argument >> reference.service >> reference.path;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(ObjectReference)

namespace {

constexpr quint32 active = 1u << 1;
constexpr quint32 showing = 1u << 25;

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
                children.append({service, QDBusObjectPath(child)});
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

class TabReaderBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* marker = std::getenv("ZEMLAR_PRIVATE_KEYRING");
        if (marker == nullptr || std::string_view(marker) != "1") {
            GTEST_SKIP() << "needs the private session bus of scripts/with-keyring";
        }
        qDBusRegisterMetaType<ObjectReference>();
        qDBusRegisterMetaType<QList<ObjectReference>>();
        qDBusRegisterMetaType<QMap<QString, QString>>();
        server = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                               QStringLiteral("zemlar-fake-accessibility"));
        ASSERT_TRUE(server.isConnected());
        fake.busAddress = QString::fromLocal8Bit(qgetenv("DBUS_SESSION_BUS_ADDRESS"));
        fake.service = server.baseService();
        // Served from a thread of its own: the reader blocks the main thread while it asks.
        fake.moveToThread(&serving);
        serving.start();
        ASSERT_TRUE(
            server.registerVirtualObject(QStringLiteral("/"), &fake, QDBusConnection::SubPath));
        ASSERT_TRUE(server.registerService(QStringLiteral("org.a11y.Bus")));
        ASSERT_TRUE(server.registerService(QStringLiteral("org.a11y.atspi.Registry")));
    }

    void TearDown() override {
        if (server.isConnected()) {
            server.unregisterObject(QStringLiteral("/"));
            server.unregisterService(QStringLiteral("org.a11y.Bus"));
            server.unregisterService(QStringLiteral("org.a11y.atspi.Registry"));
            QDBusConnection::disconnectFromBus(QStringLiteral("zemlar-fake-accessibility"));
        }
        serving.quit();
        serving.wait();
    }

    /// Another application and a browser of two windows, the front one active with a hidden
    /// and a shown tab; `urlKey` names the page's address in the document attributes.
    void browserTree(const QString& applicationName, const QString& urlKey) {
        const auto page = [&urlKey](const char* url) {
            return QMap<QString, QString>{{urlKey, QString::fromUtf8(url)}};
        };
        const auto list = [](std::initializer_list<const char*> paths) {
            QStringList result;
            for (const char* path : paths) {
                result << QString::fromUtf8(path);
            }
            return result;
        };
        fake.nodes = {
            {"/org/a11y/atspi/accessible/root", {{}, 0, list({"/app/editor", "/app/browser"}), {}}},
            {"/app/editor", {"gedit", 0, {}, {}}},
            {"/app/browser", {applicationName, 0, list({"/window/back", "/window/front"}), {}}},
            {"/window/back", {"Other window", 0, list({"/window/back/page"}), {}}},
            {"/window/back/page", {{}, showing, {}, page("https://back.example.org/")}},
            {"/window/front",
             {"Sign in", active, list({"/window/front/toolbar", "/window/front/tabs"}), {}}},
            {"/window/front/toolbar", {{}, showing, {}, {}}},
            {"/window/front/tabs",
             {{}, showing, list({"/window/front/tabs/hidden", "/window/front/tabs/shown"}), {}}},
            {"/window/front/tabs/hidden", {{}, 0, {}, page("https://hidden.example.net/")}},
            {"/window/front/tabs/shown",
             {{}, showing, {}, page("https://WWW.Acme-Bank.example.com/login?next=1")}},
        };
        fake.nodes["/window/front/tabs/shown"].document["MimeType"] = "text/html";
    }

    QDBusConnection server{QString()};
    FakeAccessibility fake;
    QThread serving;
};

TEST_F(TabReaderBusTest, ReadsTheShownTabOfTheActiveChromiumWindow) {
    browserTree(QStringLiteral("Chromium"), QStringLiteral("URI"));
    const AtspiTabReader reader;
    EXPECT_EQ(reader.host("org.chromium.Chromium"), "acme-bank.example.com");
    // Another browser is not running, and a text editor is never asked.
    EXPECT_EQ(reader.host("com.google.Chrome"), std::nullopt);
    EXPECT_EQ(reader.host("com.apple.TextEdit"), std::nullopt);
    // Gives up when the time runs out.
    EXPECT_EQ(AtspiTabReader(std::chrono::milliseconds(0)).host("org.chromium.Chromium"),
              std::nullopt);
}

TEST_F(TabReaderBusTest, ReadsFirefoxThroughItsDocumentURLInsideTheBrowsersOwnDocument) {
    browserTree(QStringLiteral("Firefox"), QStringLiteral("DocURL"));
    EXPECT_EQ(AtspiTabReader().host("org.mozilla.firefox"), "acme-bank.example.com");
    fake.nodes[QStringLiteral("/window/front")].document[QStringLiteral("DocURL")] =
        QStringLiteral("chrome://browser/content/browser.xhtml");
    fake.nodes[QStringLiteral("/window/front")].state = active | showing;
    EXPECT_EQ(AtspiTabReader().host("org.mozilla.firefox"), "acme-bank.example.com");
}

TEST_F(TabReaderBusTest, WithoutAnActiveWindowTheFirstWindowCountsAndNoWebPageGivesNothing) {
    browserTree(QStringLiteral("Chromium"), QStringLiteral("URI"));
    fake.nodes[QStringLiteral("/window/front/tabs/shown")].document[QStringLiteral("URI")] =
        QStringLiteral("chrome://settings/");
    EXPECT_EQ(AtspiTabReader().host("org.chromium.Chromium"), std::nullopt);
    fake.nodes[QStringLiteral("/window/front")].state = 0;
    EXPECT_EQ(AtspiTabReader().host("org.chromium.Chromium"), "back.example.org");
}

} // namespace
