// SPDX-License-Identifier: GPL-3.0-or-later
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
namespace Shortcuts = zemlar::KeyboardShortcuts;

namespace {

TEST(GlobalShortcutsPortal, BindsTheStoredShortcutAndHandsThePressesToTheListener) {
    QTemporaryDir settingsFolder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    FakePortal fake({GlobalShortcutsPortal::interface});
    ASSERT_TRUE(GlobalShortcutsPortal::offered());
    auto portal = std::make_shared<GlobalShortcutsPortal>();
    Shortcuts::useHotKeyBackend(
        std::make_shared<PortalHotKeys>(portal, [](const QString&) { return "Find Code"; }));
    const Shortcuts::Name name("togglePanel",
                               Shortcuts::Shortcut{31, Shortcuts::CarbonModifier::command |
                                                           Shortcuts::CarbonModifier::option});
    const auto listener = Shortcuts::events(name);
    int presses = 0;
    QObject::connect(listener.get(), &Shortcuts::EventListener::event, [&] { ++presses; });

    ASSERT_TRUE(QTest::qWaitFor([&] { return portal->trigger(name.rawValue).has_value(); }, 5000));
    ASSERT_EQ(fake.callsOf("BindShortcuts").size(), 1U);
    const auto asked = PortalShortcut::list(fake.callsOf("BindShortcuts")[0].arguments()[1]);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].id, "togglePanel");
    EXPECT_EQ(asked[0].properties.value("preferred_trigger"), "CTRL+ALT+o");
    EXPECT_EQ(Shortcuts::hotKeyBackend()->assignedTrigger(name.rawValue),
              FakePortal::chosenTrigger);

    fake.activate(name.rawValue, "/org/freedesktop/portal/desktop/session/other/1");
    fake.activate(name.rawValue);
    EXPECT_TRUE(QTest::qWaitFor([&presses] { return presses > 0; }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(presses, 1) << "the press of another session's shortcut is not ours";
}

TEST(RemoteDesktopTyping, TypesKeysymsClosesTheSessionAndReusesTheRestoreToken) {
    FakePortal fake({RemoteDesktopTyping::interface});
    auto vault = std::make_shared<SecretVault>(std::make_unique<InMemoryVaultStorage>());
    RemoteDesktopTyping typing(vault, true, std::chrono::milliseconds(0));
    ASSERT_TRUE(typing.prepare().has_value());
    const auto selectOptions = [&] {
        return qdbus_cast<QVariantMap>(fake.callsOf("SelectDevices").back().arguments()[1]);
    };

    ASSERT_TRUE(QCoro::waitFor(typing.deliver("10")).has_value());
    std::vector<std::pair<int, uint>> keystrokes;
    for (const auto& call : fake.callsOf("NotifyKeyboardKeysym")) {
        keystrokes.emplace_back(call.arguments()[2].toInt(), call.arguments()[3].toUInt());
    }
    EXPECT_EQ(keystrokes, (std::vector<std::pair<int, uint>>{
                              {'1', 1}, {'1', 0}, {'0', 1}, {'0', 0}, {0xff0d, 1}, {0xff0d, 0}}));
    EXPECT_EQ(selectOptions().value("types").toUInt(), 1U);
    EXPECT_EQ(selectOptions().value("persist_mode").toUInt(), 2U);
    EXPECT_FALSE(selectOptions().contains("restore_token"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fake.callsOf("Close").empty(); }, 5000));
    EXPECT_EQ(vault->read()->remoteDesktopToken, "token-1");

    ASSERT_TRUE(QCoro::waitFor(typing.deliver("7")).has_value());
    EXPECT_EQ(selectOptions().value("restore_token").toString(), "token-1");
    EXPECT_EQ(vault->read()->remoteDesktopToken, "token-2");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
