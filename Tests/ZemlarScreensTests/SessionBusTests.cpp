// SPDX-License-Identifier: GPL-3.0-or-later
// The lock events, sent as real D-Bus signals on the private session bus of scripts/with-keyring.
#include "Support.hpp"

#include <QDBusMessage>
#include <QTest>
#include <ZemlarKit/SessionEvents.hpp>
#include <ZemlarKit/WakeEvents.hpp>
#include <ZemlarScreens/SessionLock.hpp>
#include <cstdlib>
#include <string_view>

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

    void send(const QString& path, const QString& interface, const QString& name, bool value) {
        QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
        signal << value;
        ASSERT_TRUE(sender.send(signal));
    }

    /// Sends a signal that must not lock, then one that must, and counts the locks heard: the
    /// bus keeps the order of one sender's messages, so the count is 1 exactly when the first
    /// signal was ignored.
    int locksHeard(const QString& path, const QString& interface, const QString& name, bool ignored,
                   QDBusConnection systemBus) {
        int locks = 0;
        SessionEvents events([&locks] { ++locks; }, bus, systemBus);
        listenersAreInPlace();
        send(path, interface, name, ignored);
        send(path, interface, name, !ignored);
        EXPECT_TRUE(QTest::qWaitFor([&locks] { return locks > 0; }, 5000));
        QTest::qWait(50);
        return locks;
    }

    QDBusConnection bus{QString()};
    QDBusConnection sender{QString()};
};

TEST_F(SessionBusTest, AScreenSaverTurningOnLocksTheSession) {
    store(QStringLiteral("requireAuthentication"), true);
    FakeDeviceAuthentication authentication;
    SessionLock lock(authentication, bus, noBus());
    ASSERT_TRUE(QCoro::waitFor(lock.unlock()));
    listenersAreInPlace();

    send(QStringLiteral("/org/freedesktop/ScreenSaver"),
         QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("ActiveChanged"), true);
    EXPECT_TRUE(QTest::qWaitFor([&lock] { return !lock.unlocked(); }, 5000));
    EXPECT_TRUE(QCoro::waitFor(lock.unlock()));
    EXPECT_EQ(authentication.reasons.size(), 2u);
}

TEST_F(SessionBusTest, BothScreenSaverInterfacesAreHeardAndOnlyTheirTurningOn) {
    EXPECT_EQ(locksHeard(QStringLiteral("/org/freedesktop/ScreenSaver"),
                         QStringLiteral("org.freedesktop.ScreenSaver"),
                         QStringLiteral("ActiveChanged"), false, noBus()),
              1);
    EXPECT_EQ(locksHeard(QStringLiteral("/org/gnome/ScreenSaver"),
                         QStringLiteral("org.gnome.ScreenSaver"), QStringLiteral("ActiveChanged"),
                         false, noBus()),
              1);
}

TEST_F(SessionBusTest, GoingToSleepLocksButWakingDoesNot) {
    // The private session bus stands in for the system bus, where logind announces sleep.
    EXPECT_EQ(locksHeard(QStringLiteral("/org/freedesktop/login1"),
                         QStringLiteral("org.freedesktop.login1.Manager"),
                         QStringLiteral("PrepareForSleep"), false, bus),
              1);
}

TEST_F(SessionBusTest, OnlyWakingFromSleepIsReportedAsAWake) {
    int wakes = 0;
    WakeEvents events([&wakes] { ++wakes; }, bus);
    listenersAreInPlace();
    const QString path = QStringLiteral("/org/freedesktop/login1");
    const QString manager = QStringLiteral("org.freedesktop.login1.Manager");
    send(path, manager, QStringLiteral("PrepareForSleep"), true);
    send(path, manager, QStringLiteral("PrepareForSleep"), false);
    EXPECT_TRUE(QTest::qWaitFor([&wakes] { return wakes > 0; }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(wakes, 1);
}

TEST_F(SessionBusTest, AnotherInterfaceWithTheSameSignalIsIgnored) {
    int locks = 0;
    SessionEvents events([&locks] { ++locks; }, bus, noBus());
    listenersAreInPlace();
    send(QStringLiteral("/org/example/Other"), QStringLiteral("org.example.Other"),
         QStringLiteral("ActiveChanged"), true);
    send(QStringLiteral("/org/gnome/ScreenSaver"), QStringLiteral("org.gnome.ScreenSaver"),
         QStringLiteral("ActiveChanged"), true);
    EXPECT_TRUE(QTest::qWaitFor([&locks] { return locks > 0; }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(locks, 1);
}

} // namespace
