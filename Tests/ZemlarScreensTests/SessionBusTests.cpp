// SPDX-License-Identifier: GPL-3.0-or-later
// On the private session bus of scripts/with-keyring: the lock events, sent as real D-Bus
// signals, and the tab reader against a small accessibility tree served there, the bus also
// standing in for the accessibility bus.
#include "FakeAccessibility.hpp"
#include "Support.hpp"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <QThread>
#include <ZemlarKit/AtspiTabReader.hpp>
#include <ZemlarKit/SessionEvents.hpp>
#include <ZemlarKit/WakeEvents.hpp>
#include <ZemlarScreens/SessionLock.hpp>
#include <cstdlib>
#include <functional>
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
    EXPECT_TRUE(QCoro::waitFor(lock.unlock()));
    EXPECT_EQ(authentication.reasons.size(), 2u);
}

TEST_F(SessionBusTest, EveryScreenSaverInterfaceIsHeardAndOnlyItsTurningOn) {
    const std::pair<const char*, const char*> screenSavers[] = {
        {freedesktop, freedesktopSaver},
        {"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver"},
        {"/org/xfce/ScreenSaver", "org.xfce.ScreenSaver"},
        {"/org/mate/ScreenSaver", "org.mate.ScreenSaver"},
        {"/org/cinnamon/ScreenSaver", "org.cinnamon.ScreenSaver"},
    };
    for (const auto& [path, interface] : screenSavers) {
        SCOPED_TRACE(interface);
        EXPECT_EQ(heard<Locks>(noBus(), {{"/org/example/Other", "org.example.Other",
                                          "ActiveChanged", true}, // the same signal elsewhere
                                         {path, interface, "ActiveChanged", false},
                                         {path, interface, "ActiveChanged", true}}),
                  1);
    }
}

// The private session bus stands in for the system bus, where logind announces sleep.
TEST_F(SessionBusTest, GoingToSleepLocksAndWakingIsReportedAsAWake) {
    EXPECT_EQ(heard<Locks>(bus, {{login, loginManager, "PrepareForSleep", false},
                                 {login, loginManager, "PrepareForSleep", true}}),
              1);
    EXPECT_EQ(heard<WakeEvents>(bus, {{login, loginManager, "PrepareForSleep", true},
                                      {login, loginManager, "PrepareForSleep", false}}),
              1);
}

/// logind on the private bus, where this process is in no session: `GetSessionByPID` fails, and
/// `GetSession` knows only the session `known`.
class FakeLogind final : public QDBusVirtualObject {
public:
    explicit FakeLogind(QString known) : known_(std::move(known)) {}

    static constexpr const char* sessionPath = "/org/freedesktop/login1/session/c7";

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != QLatin1String(loginManager)) {
            return false;
        }
        const bool found = message.member() == QLatin1String("GetSession") &&
                           message.arguments().value(0).toString() == known_;
        connection.send(found ? message.createReply(QVariant::fromValue(
                                    QDBusObjectPath(QString::fromLatin1(sessionPath))))
                              : message.createErrorReply(
                                    QStringLiteral("org.freedesktop.login1.NoSessionForPID"),
                                    QStringLiteral("not in a session")));
        return true;
    }

private:
    QString known_;
};

// The private session bus stands in for the system bus, with a fake logind on it.
TEST_F(SessionBusTest, OutsideASessionTheAutoOrTheNamedSessionIsHeard) {
    qputenv("XDG_SESSION_ID", "c7");
    const auto restore = qScopeGuard([] { qunsetenv("XDG_SESSION_ID"); });
    for (const char* known : {"auto", "c7"}) {
        SCOPED_TRACE(known);
        FakeLogind logind{QString::fromLatin1(known)};
        ASSERT_TRUE(sender.registerVirtualObject(QString::fromLatin1(login), &logind));
        ASSERT_TRUE(sender.registerService(QStringLiteral("org.freedesktop.login1")));
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
            QDBusMessage changed =
                QDBusMessage::createSignal(QString::fromLatin1(FakeLogind::sessionPath),
                                           QStringLiteral("org.freedesktop.DBus.Properties"),
                                           QStringLiteral("PropertiesChanged"));
            changed << QStringLiteral("org.freedesktop.login1.Session")
                    << QVariantMap{{QStringLiteral("LockedHint"), locked}} << QStringList();
            ASSERT_TRUE(sender.send(changed));
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return count > before; }, 5000));
        QTest::qWait(50);
        EXPECT_EQ(count, before + 1); // only the hint turning true
        sender.unregisterService(QStringLiteral("org.freedesktop.login1"));
        sender.unregisterObject(QString::fromLatin1(login));
    }
}

class TabReaderBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!onPrivateBus()) {
            GTEST_SKIP() << "needs the private session bus of scripts/with-keyring";
        }
        registerAccessibilityTypes();
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
        if (otherBrowser.state() != QProcess::NotRunning) {
            otherBrowser.closeWriteChannel(); // it ends with its input
            otherBrowser.waitForFinished();
        }
    }

    /// Starts another process with a browser application on the bus; gives its bus name.
    QString startOtherBrowser() {
        otherBrowser.start(QStringLiteral(ZEMLAR_OTHER_BROWSER_PATH), {});
        if (!otherBrowser.waitForReadyRead(10'000)) {
            return {};
        }
        return QString::fromUtf8(otherBrowser.readLine()).trimmed();
    }

    /// A browser of two windows, the front one active with a hidden and a shown tab; `urlKey` names
    /// the page's address in the document attributes.
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
            {"/org/a11y/atspi/accessible/root", {{}, 0, list({"/app/browser"}), {}}},
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
    QProcess otherBrowser;
};

/// A browser window of this process, which serves the browser's tree.
BrowserWindow window(const char* bundleID, std::int64_t pid = getpid(), std::string title = {}) {
    return {.bundleID = bundleID, .pid = pid, .title = std::move(title)};
}

TEST_F(TabReaderBusTest, ReadsTheShownTabOfTheActiveChromiumWindow) {
    browserTree(QStringLiteral("Chromium"), QStringLiteral("URI"));
    const AtspiTabReader reader;
    EXPECT_EQ(reader.host(window("org.chromium.Chromium")), "acme-bank.example.com");
    // A process without an application on the bus, or a text editor, gives nothing.
    EXPECT_EQ(reader.host(window("org.chromium.Chromium", getppid())), std::nullopt);
    EXPECT_EQ(reader.host(window("com.apple.TextEdit")), std::nullopt);
    // Gives up when the time runs out.
    EXPECT_EQ(AtspiTabReader(std::chrono::milliseconds(0)).host(window("org.chromium.Chromium")),
              std::nullopt);
}

TEST_F(TabReaderBusTest, ReadsFirefoxThroughItsDocumentURLInsideTheBrowsersOwnDocument) {
    browserTree(QStringLiteral("Firefox"), QStringLiteral("DocURL"));
    EXPECT_EQ(AtspiTabReader().host(window("org.mozilla.firefox")), "acme-bank.example.com");
    fake.nodes[QStringLiteral("/window/front")].document[QStringLiteral("DocURL")] =
        QStringLiteral("chrome://browser/content/browser.xhtml");
    fake.nodes[QStringLiteral("/window/front")].state = active | showing;
    EXPECT_EQ(AtspiTabReader().host(window("org.mozilla.firefox")), "acme-bank.example.com");
}

TEST_F(TabReaderBusTest, OnlyTheFrontWindowOfTheFrontWindowsProcessCounts) {
    browserTree(QStringLiteral("Chromium"), QStringLiteral("URI"));
    const QString other = startOtherBrowser();
    ASSERT_FALSE(other.isEmpty());
    // Another Chromium, listed first, with an active window of its own.
    fake.servedElsewhere[QStringLiteral("/other/browser")] = other;
    fake.nodes[QStringLiteral("/org/a11y/atspi/accessible/root")].children.prepend(
        QStringLiteral("/other/browser"));
    const AtspiTabReader reader;
    EXPECT_EQ(reader.host(window("org.chromium.Chromium")), "acme-bank.example.com");

    // Without an active window another window's page is no guide; the window's title is.
    fake.nodes[QStringLiteral("/window/front")].state = 0;
    EXPECT_EQ(reader.host(window("org.chromium.Chromium")), std::nullopt);
    EXPECT_EQ(reader.host(window("org.chromium.Chromium", getpid(), "Sign in")),
              "acme-bank.example.com");
}

} // namespace
