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
    press("Num_Lock");
    press("ctrl+alt+o");
    const bool withNumLock = receivedDownAndUp();
    press("Caps_Lock");
    press("ctrl+alt+o");
    const bool withBoth = receivedDownAndUp();
    press("Num_Lock");
    press("ctrl+alt+o");
    const bool withCapsLock = receivedDownAndUp();
    press("Caps_Lock");
    EXPECT_TRUE(withNumLock);
    EXPECT_TRUE(withBoth);
    EXPECT_TRUE(withCapsLock);
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
    OtherClient other;
    EXPECT_TRUE(other.grab(optionCommandP)) << "a removed shortcut must not stay grabbed";
}

TEST_F(HotKeys, TheGrabExistsOnlyWhileSomebodyListens) {
    const Name name("togglePanel", optionCommandO);
    {
        OtherClient other;
        EXPECT_TRUE(other.grab(optionCommandO));
    }
    listen(name);
    auto second = events(name);
    {
        OtherClient other;
        EXPECT_FALSE(other.grab(optionCommandO));
    }
    second.reset();
    {
        OtherClient other;
        EXPECT_FALSE(other.grab(optionCommandO)) << "one listener is still there";
    }
    listener.reset();
    OtherClient other;
    EXPECT_TRUE(other.grab(optionCommandO));
}

TEST_F(HotKeys, PausingReleasesTheGrabUntilResumed) {
    listen(Name("togglePanel", optionCommandO));
    setHotKeysPaused(true);
    press("ctrl+alt+o");
    EXPECT_TRUE(receivedNothing());
    {
        OtherClient other;
        EXPECT_TRUE(other.grab(optionCommandO));
    }
    setHotKeysPaused(false);
    press("ctrl+alt+o");
    EXPECT_TRUE(receivedDownAndUp());
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
