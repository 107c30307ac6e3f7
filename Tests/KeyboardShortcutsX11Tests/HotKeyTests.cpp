// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11Testing.hpp"

using namespace zemlar::KeyboardShortcuts;
using namespace zemlar::KeyboardShortcuts::X11Testing;

namespace {

TEST_F(HotKeys, TheDefaultShortcutIsCtrlAltOAndDeliversKeyDownThenKeyUp) {
    listen(Name("togglePanel", optionCommandO));
    press("ctrl+alt+o");
    EXPECT_TRUE(receivedDownAndUp());
    press("ctrl+o");
    press("alt+o");
    press("ctrl+alt+shift+o");
    EXPECT_TRUE(receivedNothing());
}

TEST_F(HotKeys, LockKeysDoNotStopTheShortcut) {
    listen(Name("togglePanel", optionCommandO));
    std::vector<bool> heard;
    for (const char* lockKey : {"Num_Lock", "Caps_Lock", "Num_Lock", "Caps_Lock"}) {
        press(lockKey); // Num Lock, both, Caps Lock, none
        press("ctrl+alt+o");
        heard.push_back(receivedDownAndUp());
    }
    EXPECT_EQ(heard, std::vector<bool>(4, true));
}

TEST_F(HotKeys, RegistrationFollowsTheStoredShortcut) {
    const Name name("togglePanel", optionCommandO);
    listen(name);
    setShortcut(optionCommandP, name);
    press("ctrl+alt+o");
    EXPECT_TRUE(receivedNothing());
    press("ctrl+alt+p");
    EXPECT_TRUE(receivedDownAndUp());

    setShortcut(std::nullopt, name);
    press("ctrl+alt+p");
    EXPECT_TRUE(receivedNothing());
    EXPECT_TRUE(OtherClient().grab(optionCommandP)) << "a removed shortcut must not stay grabbed";
}

TEST_F(HotKeys, TheGrabExistsOnlyWhileSomebodyListensAndIsNotPaused) {
    const Name name("togglePanel", optionCommandO);
    EXPECT_TRUE(OtherClient().grab(optionCommandO));
    listen(name);
    auto second = events(name);
    EXPECT_FALSE(OtherClient().grab(optionCommandO));
    second.reset();
    EXPECT_FALSE(OtherClient().grab(optionCommandO)) << "one listener is still there";

    setHotKeysPaused(true);
    press("ctrl+alt+o");
    EXPECT_TRUE(receivedNothing());
    EXPECT_TRUE(OtherClient().grab(optionCommandO));
    setHotKeysPaused(false);
    press("ctrl+alt+o");
    EXPECT_TRUE(receivedDownAndUp());

    listener.reset();
    EXPECT_TRUE(OtherClient().grab(optionCommandO));
}

TEST_F(HotKeys, AShortcutGrabbedByAnotherClientFailsWithTheDiagnostic) {
    OtherClient other;
    ASSERT_TRUE(other.grab(optionCommandO));
    EXPECT_TRUE(isTakenByAnotherClient(optionCommandO));
    EXPECT_FALSE(isTakenByAnotherClient(optionCommandP));

    testing::internal::CaptureStderr();
    listen(Name("togglePanel", optionCommandO));
    auto second = events(Name("togglePanel"));
    second.reset();
    const std::string diagnostics = testing::internal::GetCapturedStderr();
    EXPECT_EQ(diagnostics, "Error registering hotkey Ctrl+Alt+O\n") << "once per registration";
    press("ctrl+alt+o");
    EXPECT_TRUE(receivedNothing());
}

TEST_F(HotKeys, OurOwnRegistrationIsNotTakenByAnotherClient) {
    listen(Name("togglePanel", optionCommandO));
    EXPECT_FALSE(isTakenByAnotherClient(optionCommandO));
    press("ctrl+alt+o");
    EXPECT_TRUE(receivedDownAndUp()) << "the check must not drop our own grab";
}

} // namespace
