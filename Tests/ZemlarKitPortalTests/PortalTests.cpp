// SPDX-License-Identifier: GPL-3.0-or-later
// The portal clients against the fake portal on the private session bus of dbus-run-session.
#include "FakePortal.hpp"

#include <KeyboardShortcuts/Events.hpp>
#include <KeyboardShortcuts/HotKeyBackend.hpp>
#include <Portal/GlobalShortcutsPortal.hpp>
#include <Portal/PortalHotKeys.hpp>
#include <Portal/RemoteDesktopTyping.hpp>
#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <ZemlarKit/InMemoryVaultStorage.hpp>
#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::testing;
using namespace std::chrono_literals;

namespace {

QList<PortalShortcut> shortcutsAskedFor(const FakePortal& portal) {
    const auto binds = portal.callsOf(QStringLiteral("BindShortcuts"));
    return binds.empty() ? QList<PortalShortcut>()
                         : PortalShortcut::list(binds.back().arguments[1]);
}

TEST(GlobalShortcutsPortal, BindsTheStoredShortcutAndHandsThePressesToTheListener) {
    QTemporaryDir settingsFolder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    FakePortal fake({QString::fromLatin1(GlobalShortcutsPortal::interface)});
    ASSERT_TRUE(GlobalShortcutsPortal::offered());
    auto portal = std::make_shared<GlobalShortcutsPortal>();
    KeyboardShortcuts::useHotKeyBackend(std::make_shared<PortalHotKeys>(
        portal, [](const QString&) { return QStringLiteral("Find Code"); }));
    const KeyboardShortcuts::Name name(
        QStringLiteral("togglePanel"),
        KeyboardShortcuts::Shortcut{.carbonKeyCode = 31,
                                    .carbonModifiers = KeyboardShortcuts::CarbonModifier::command |
                                                       KeyboardShortcuts::CarbonModifier::option});
    const auto listener = KeyboardShortcuts::events(name);
    int presses = 0;
    QObject::connect(listener.get(), &KeyboardShortcuts::EventListener::event,
                     [&presses](KeyboardShortcuts::EventType type) {
                         presses += type == KeyboardShortcuts::EventType::keyDown ? 1 : 0;
                     });

    ASSERT_TRUE(QTest::qWaitFor([&] { return portal->trigger(name.rawValue).has_value(); }, 5000));
    const auto asked = shortcutsAskedFor(fake);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].id, QStringLiteral("togglePanel"));
    EXPECT_EQ(asked[0].properties.value(QStringLiteral("preferred_trigger")),
              QStringLiteral("CTRL+ALT+o"));
    EXPECT_EQ(KeyboardShortcuts::hotKeyBackend()->assignedTrigger(name.rawValue),
              QString::fromLatin1(FakePortal::chosenTrigger));

    fake.activate(QStringLiteral("/org/freedesktop/portal/desktop/session/other/1"), name.rawValue);
    fake.activate(fake.lastSession(), name.rawValue);
    EXPECT_TRUE(QTest::qWaitFor([&presses] { return presses > 0; }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(presses, 1); // the press of another session's shortcut is not ours
}

struct Keystroke {
    int keysym;
    uint state;
    bool operator==(const Keystroke&) const = default;
};

std::vector<Keystroke> keystrokes(const FakePortal& portal) {
    std::vector<Keystroke> sent;
    for (const auto& call : portal.callsOf(QStringLiteral("NotifyKeyboardKeysym"))) {
        sent.push_back({call.arguments[2].toInt(), call.arguments[3].toUInt()});
    }
    return sent;
}

TEST(RemoteDesktopTyping, TypesKeysymsClosesTheSessionAndReusesTheRestoreToken) {
    FakePortal fake({QString::fromLatin1(RemoteDesktopTyping::interface)});
    auto vault = std::make_shared<SecretVault>(std::make_unique<InMemoryVaultStorage>());
    RemoteDesktopTyping typing(vault, true, 0ms);
    ASSERT_TRUE(typing.prepare().has_value());

    ASSERT_TRUE(QCoro::waitFor(typing.deliver("10")).has_value());
    EXPECT_EQ(
        keystrokes(fake),
        (std::vector<Keystroke>{{'1', 1}, {'1', 0}, {'0', 1}, {'0', 0}, {0xff0d, 1}, {0xff0d, 0}}));
    const auto selected = fake.callsOf(QStringLiteral("SelectDevices"));
    ASSERT_EQ(selected.size(), 1U);
    const auto firstOptions = qdbus_cast<QVariantMap>(selected[0].arguments[1]);
    EXPECT_EQ(firstOptions.value(QStringLiteral("types")).toUInt(), 1U);
    EXPECT_EQ(firstOptions.value(QStringLiteral("persist_mode")).toUInt(), 2U);
    EXPECT_FALSE(firstOptions.contains(QStringLiteral("restore_token")));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !fake.callsOf(QStringLiteral("Close")).empty(); }, 5000));
    EXPECT_EQ(vault->read()->remoteDesktopToken, "token-1");

    ASSERT_TRUE(QCoro::waitFor(typing.deliver("7")).has_value());
    const auto again =
        qdbus_cast<QVariantMap>(fake.callsOf(QStringLiteral("SelectDevices")).back().arguments[1]);
    EXPECT_EQ(again.value(QStringLiteral("restore_token")).toString(), QStringLiteral("token-1"));
    EXPECT_EQ(vault->read()->remoteDesktopToken, "token-2");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
