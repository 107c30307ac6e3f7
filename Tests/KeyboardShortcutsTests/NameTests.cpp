// SPDX-License-Identifier: GPL-3.0-or-later
#include <KeyboardShortcuts/Events.hpp>
#include <KeyboardShortcuts/Name.hpp>
#include <KeyboardShortcuts/Notifier.hpp>
#include <QSignalSpy>
#include <TestSupport/FreshSettings.hpp>

using namespace zemlar::KeyboardShortcuts;
using zemlar::testing::FreshSettings;

namespace {

constexpr Shortcut optionCommandO{31, CarbonModifier::command | CarbonModifier::option};
constexpr Shortcut controlShiftK{40, CarbonModifier::control | CarbonModifier::shift};
const QString togglePanelKey = QStringLiteral("KeyboardShortcuts_togglePanel");
const QString defaultJSON = QStringLiteral(R"({"carbonKeyCode":31,"carbonModifiers":2304})");

using NameStorage = FreshSettings;
using EventsWithoutDisplay = FreshSettings;

// Every change, even to the same shortcut, is announced with the name.
TEST_F(NameStorage, TheUsersChoiceAndARemovalSurviveARelaunchUntilReset) {
    const Name name("togglePanel", optionCommandO);
    // A separate reader of the same file sees the default as one text, not a list split at the
    // comma.
    EXPECT_EQ(QSettings(defaults().fileName(), QSettings::IniFormat).value(togglePanelKey),
              QVariant(defaultJSON));
    QSignalSpy spy(&Notifier::instance(), &Notifier::shortcutByNameDidChange);
    setShortcut(controlShiftK, name);
    setShortcut(controlShiftK, name);
    EXPECT_EQ(getShortcut(Name("togglePanel", optionCommandO)), controlShiftK);
    EXPECT_EQ(stored(togglePanelKey), controlShiftK.jsonString());

    setShortcut(std::nullopt, name);
    EXPECT_EQ(stored(togglePanelKey), QVariant(false));
    EXPECT_FALSE(getShortcut(Name("togglePanel", optionCommandO))); // the default stays away
    store(togglePanelKey, QStringLiteral("false"));                 // as read back from the file
    EXPECT_FALSE(getShortcut(Name("togglePanel", optionCommandO)));

    reset(name);
    EXPECT_EQ(stored(togglePanelKey), defaultJSON);
    EXPECT_EQ(spy.count(), 4);
    EXPECT_EQ(spy.last().at(0).toString(), "togglePanel");
}

TEST_F(NameStorage, ANameWithoutDefaultStoresNothingAndRemovalOrResetDropsTheEntry) {
    const Name name("other");
    for (const bool viaReset : {false, true}) {
        setShortcut(controlShiftK, name);
        viaReset ? reset(name) : setShortcut(std::nullopt, name);
        EXPECT_FALSE(defaults().contains("KeyboardShortcuts_other")) << viaReset;
    }
}

TEST_F(NameStorage, UnreadableValuesCountAsNoShortcutAndAreLeftAlone) {
    for (const QVariant& value :
         {QVariant(31), QVariant(QStringLiteral("garbage")),
          QVariant(QStringList{QStringLiteral(R"({"carbonKeyCode":31)"),
                               QStringLiteral(R"("carbonModifiers":2304})")})}) {
        store(togglePanelKey, value);
        const Name name("togglePanel", optionCommandO);
        EXPECT_FALSE(getShortcut(name)) << value.toString().toStdString();
        EXPECT_EQ(stored(togglePanelKey), value);
    }
}

// The test main runs without DISPLAY: registration cannot succeed and must say so, once per try.
TEST_F(EventsWithoutDisplay, ListeningReportsTheFailedRegistrationAndGoesOn) {
    testing::internal::CaptureStderr();
    auto unset = events(Name("other")); // no shortcut: nothing to register
    const Name name("togglePanel", optionCommandO);
    auto listener = events(name);
    setShortcut(Shortcut{35, CarbonModifier::control}, name);
    setHotKeysPaused(true);
    setHotKeysPaused(false);
    listener.reset();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error registering hotkey Ctrl+Alt+O\n"
                                                      "Error registering hotkey Super+P\n"
                                                      "Error registering hotkey Super+P\n");
}

} // namespace
