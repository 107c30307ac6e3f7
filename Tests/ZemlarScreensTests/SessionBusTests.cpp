// SPDX-License-Identifier: GPL-3.0-or-later
// The lock events, sent as real D-Bus signals on the private session bus of scripts/with-keyring.
#include "Support.hpp"

#include <QDBusMessage>
#include <QTest>
#include <ZemlarKit/SessionEvents.hpp>
#include <ZemlarKit/WakeEvents.hpp>
#include <ZemlarScreens/SessionLock.hpp>
#include <cstdlib>
#include <functional>
#include <string_view>
#include <tuple>
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

TEST_F(SessionBusTest, BothScreenSaverInterfacesAreHeardAndOnlyTheirTurningOn) {
    EXPECT_EQ(heard<Locks>(noBus(), {{freedesktop, freedesktopSaver, "ActiveChanged", false},
                                     {freedesktop, freedesktopSaver, "ActiveChanged", true}}),
              1);
    EXPECT_EQ(
        heard<Locks>(noBus(),
                     {{"/org/example/Other", "org.example.Other", "ActiveChanged",
                       true}, // another interface with the same signal
                      {"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", "ActiveChanged", false},
                      {"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", "ActiveChanged", true}}),
        1);
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

} // namespace
