// SPDX-License-Identifier: GPL-3.0-or-later
// The lock events, sent as real D-Bus signals on the private session bus of scripts/with-keyring.
#include "Support.hpp"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QScopeGuard>
#include <QTest>
#include <ZemlarKit/SessionEvents.hpp>
#include <ZemlarKit/WakeEvents.hpp>
#include <ZemlarScreens/SessionLock.hpp>
#include <cstdlib>
#include <functional>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

class SessionBusTest : public FreshSettings {
protected:
    void SetUp() override {
        const char* marker = std::getenv("ZEMLAR_PRIVATE_KEYRING");
        if (marker == nullptr || std::string_view(marker) != "1") {
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

} // namespace
