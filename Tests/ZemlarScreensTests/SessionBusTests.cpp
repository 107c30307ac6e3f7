// SPDX-License-Identifier: GPL-3.0-or-later
// On the private session bus of scripts/with-keyring: the lock events, sent as real D-Bus
// signals, and the tab reader against a small accessibility tree served there, the bus also
// standing in for the accessibility bus.
#include "Support.hpp"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMap>
#include <QScopeGuard>
#include <QTest>
#include <QThread>
#include <ZemlarKit/AtspiTabReader.hpp>
#include <ZemlarKit/SessionEvents.hpp>
#include <ZemlarKit/WakeEvents.hpp>
#include <ZemlarScreens/SessionLock.hpp>
#include <cstdlib>
#include <functional>
#include <map>
#include <string_view>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

bool onPrivateBus() {
    const char* marker = std::getenv("ZEMLAR_PRIVATE_KEYRING");
    return marker != nullptr && std::string_view(marker) == "1";
}

class SessionBusTest : public FreshSettings {
protected:
    void SetUp() override {
        if (!onPrivateBus()) {
            GTEST_SKIP() << "needs the private session bus of scripts/with-keyring";
        }
        FreshSettings::SetUp();
        bus = QDBusConnection::sessionBus();
        ASSERT_TRUE(bus.isConnected());
        sender = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                               QStringLiteral("zemlar-test-sender"));
        ASSERT_TRUE(sender.isConnected());
    }

    /// Waits until the bus has taken the match rules of every listener made so far: Qt adds
    /// them without waiting for the bus, and the bus keeps the order of one connection's
    /// messages, so a round trip behind them means they are in place.
    void listenersAreInPlace() {
        const QDBusMessage reply = bus.call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage);
    }

    void send(const char* path, const char* interface, const char* name, bool value) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QString::fromUtf8(path), QString::fromUtf8(interface), QString::fromUtf8(name));
        signal << value;
        ASSERT_TRUE(sender.send(signal));
    }

    /// Sends the signals, the last of which must be heard, and counts what was heard: the bus
    /// keeps the order of one sender's messages, so the count is 1 exactly when the ones before
    /// were ignored.
    template <class Events>
    int heard(QDBusConnection systemBus,
              const std::vector<std::tuple<const char*, const char*, const char*, bool>>& sent) {
        int count = 0;
        Events events([&count] { ++count; }, systemBus);
        listenersAreInPlace();
        for (const auto& [path, interface, name, value] : sent) {
            send(path, interface, name, value);
        }
        EXPECT_TRUE(QTest::qWaitFor([&count] { return count > 0; }, 5000));
        QTest::qWait(50);
        return count;
    }

    QDBusConnection bus{QString()};
    QDBusConnection sender{QString()};
};

/// The lock events, with the session bus of the test.
struct Locks : SessionEvents {
    Locks(std::function<void()> lock, QDBusConnection systemBus)
        : SessionEvents(std::move(lock), QDBusConnection::sessionBus(), systemBus) {}
};

constexpr const char* freedesktop = "/org/freedesktop/ScreenSaver";
constexpr const char* freedesktopSaver = "org.freedesktop.ScreenSaver";
constexpr const char* login = "/org/freedesktop/login1";
constexpr const char* loginManager = "org.freedesktop.login1.Manager";

TEST_F(SessionBusTest, AScreenSaverTurningOnLocksTheSession) {
    store(QStringLiteral("requireAuthentication"), true);
    FakeDeviceAuthentication authentication;
    SessionLock lock(authentication, bus, noBus());
    ASSERT_TRUE(QCoro::waitFor(lock.unlock()));
    listenersAreInPlace();
    send(freedesktop, freedesktopSaver, "ActiveChanged", true);
    EXPECT_TRUE(QTest::qWaitFor([&lock] { return !lock.unlocked(); }, 5000));
}

// The private session bus stands in for the system bus too, where logind announces sleep.
TEST_F(SessionBusTest, OnlyAScreenSaverTurningOnOrGoingToSleepLocksAndWakingIsAWake) {
    EXPECT_EQ(
        heard<Locks>(noBus(),
                     {{"/org/example/Other", "org.example.Other", "ActiveChanged",
                       true}, // the same signal elsewhere
                      {"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", "ActiveChanged", false},
                      {"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", "ActiveChanged", true}}),
        1);
    EXPECT_EQ(heard<Locks>(bus, {{login, loginManager, "PrepareForSleep", false},
                                 {login, loginManager, "PrepareForSleep", true}}),
              1);
    EXPECT_EQ(heard<WakeEvents>(bus, {{login, loginManager, "PrepareForSleep", true},
                                      {login, loginManager, "PrepareForSleep", false}}),
              1);
}

/// logind on the private bus, where this process is in no session: `GetSessionByPID` fails, and
/// `GetSession` knows only the session "c7".
class FakeLogind final : public QDBusVirtualObject {
public:
    static constexpr const char* sessionPath = "/org/freedesktop/login1/session/c7";

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != QLatin1String(loginManager)) {
            return false;
        }
        const bool found = message.member() == QLatin1String("GetSession") &&
                           message.arguments().value(0).toString() == QLatin1String("c7");
        connection.send(found ? message.createReply(QVariant::fromValue(
                                    QDBusObjectPath(QString::fromLatin1(sessionPath))))
                              : message.createErrorReply(
                                    QStringLiteral("org.freedesktop.login1.NoSessionForPID"),
                                    QStringLiteral("not in a session")));
        return true;
    }
};

// The private session bus stands in for the system bus, with a fake logind on it that knows
// only the named session: the lookups by process and "auto" fail first.
TEST_F(SessionBusTest, OutsideASessionTheNamedSessionIsHeard) {
    qputenv("XDG_SESSION_ID", "c7");
    const auto restore = qScopeGuard([] { qunsetenv("XDG_SESSION_ID"); });
    FakeLogind logind;
    ASSERT_TRUE(sender.registerVirtualObject(QString::fromLatin1(login), &logind));
    ASSERT_TRUE(sender.registerService(QStringLiteral("org.freedesktop.login1")));
    const auto unregister = qScopeGuard([this] {
        sender.unregisterService(QStringLiteral("org.freedesktop.login1"));
        sender.unregisterObject(QString::fromLatin1(login));
    });
    int count = 0;
    Locks events([&count] { ++count; }, bus);
    // The session is looked up without waiting: lock until that is heard.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            if (count == 0) {
                sender.send(QDBusMessage::createSignal(
                    QString::fromLatin1(FakeLogind::sessionPath),
                    QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Lock")));
            }
            return count > 0;
        },
        5000));
    QTest::qWait(100); // a lock sent just before the first was heard may still come
    const int before = count;
    for (const bool locked : {false, true}) {
        QDBusMessage changed = QDBusMessage::createSignal(
            QString::fromLatin1(FakeLogind::sessionPath),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
        changed << QStringLiteral("org.freedesktop.login1.Session")
                << QVariantMap{{QStringLiteral("LockedHint"), locked}} << QStringList();
        ASSERT_TRUE(sender.send(changed));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return count > before; }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(count, before + 1); // only the hint turning true
}

/// A child as the accessibility bus names it: its connection and its path.
using ObjectReference = std::pair<QString, QDBusObjectPath>;

constexpr quint32 active = 1u << 1;
constexpr quint32 showing = 1u << 25;

struct Node {
    QString name;
    quint32 state = 0;
    QStringList children;
    QMap<QString, QString> document;
};

/// A small accessibility tree: answers the calls the tab reader makes from a fixed tree of
/// paths, all served by one connection.
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
        if (!onPrivateBus()) {
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
        // Served from a thread of its own: the reader blocks the thread it asks from.
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

    QDBusConnection server{QString()};
    FakeAccessibility fake;
    QThread serving;
};

/// A browser window of this process, which serves the browser's tree.
BrowserWindow window(const char* bundleID, std::int64_t pid = getpid(), std::string title = {}) {
    return {.bundleID = bundleID, .pid = pid, .title = std::move(title)};
}

TEST_F(TabReaderBusTest, ReadsTheShownTabOfTheFrontWindowOfTheFrontProcess) {
    const AtspiTabReader reader;
    // A browser of two windows, the front one active with a hidden and a shown tab, under
    // each key a browser may give the page's address by.
    for (const char* key : {"URI", "DocURL", "URL"}) {
        SCOPED_TRACE(key);
        const auto page = [key](const char* url) {
            return QMap<QString, QString>{{QString::fromLatin1(key), QString::fromUtf8(url)}};
        };
        fake.nodes = {
            {"/org/a11y/atspi/accessible/root", {{}, 0, {"/app/browser"}, {}}},
            {"/app/browser", {"Chromium", 0, {"/window/back", "/window/front"}, {}}},
            {"/window/back", {"Other window", 0, {"/window/back/page"}, {}}},
            {"/window/back/page", {{}, showing, {}, page("https://back.example.org/")}},
            {"/window/front", {"Sign in", active, {"/window/front/bar", "/window/front/tabs"}, {}}},
            {"/window/front/bar", {{}, showing, {}, {}}},
            {"/window/front/tabs",
             {{}, showing, {"/window/front/tabs/hidden", "/window/front/tabs/shown"}, {}}},
            {"/window/front/tabs/hidden", {{}, 0, {}, page("https://hidden.example.net/")}},
            {"/window/front/tabs/shown",
             {{}, showing, {}, page("https://WWW.Acme-Bank.example.com/login?next=1")}},
        };
        EXPECT_EQ(reader.host(window("org.chromium.Chromium")), "acme-bank.example.com");
    }
    // The browser's own interface, a shown document whose address is no site, holds the page.
    fake.nodes[QStringLiteral("/window/front")].document[QStringLiteral("DocURL")] =
        QStringLiteral("chrome://browser/content/browser.xhtml");
    fake.nodes[QStringLiteral("/window/front")].state = active | showing;
    EXPECT_EQ(reader.host(window("org.mozilla.firefox")), "acme-bank.example.com");

    // Another process's window, or a reading out of time, gives nothing.
    EXPECT_EQ(reader.host(window("org.chromium.Chromium", getppid())), std::nullopt);
    EXPECT_EQ(AtspiTabReader(std::chrono::milliseconds(0)).host(window("org.chromium.Chromium")),
              std::nullopt);

    // Without an active window another window's page is no guide; the window's title is.
    fake.nodes[QStringLiteral("/window/front")].state = showing;
    EXPECT_EQ(reader.host(window("org.chromium.Chromium")), std::nullopt);
    EXPECT_EQ(reader.host(window("org.chromium.Chromium", getpid(), "Sign in")),
              "acme-bank.example.com");
}

} // namespace
