// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11Testing.hpp"

using namespace zemlar::KeyboardShortcuts;
using namespace zemlar::KeyboardShortcuts::X11Testing;

namespace {

TEST_F(HotKeys, TheDefaultShortcutDeliversKeyDownThenKeyUpWhateverTheLockKeys) {
    listen(Name("togglePanel", optionCommandO));
    EXPECT_FALSE(isTakenByAnotherClient(optionCommandO)) << "our own grab is not another's";
    press("ctrl+alt+o");
    EXPECT_TRUE(receivedDownAndUp()) << "the check must not drop our own grab";
    for (const char* keys : {"ctrl+o", "alt+o", "ctrl+alt+shift+o"})
        press(keys);
    EXPECT_TRUE(receivedNothing());
    for (const char* lockKey : {"Num_Lock", "Caps_Lock", "Num_Lock", "Caps_Lock"}) {
        press(lockKey); // Num Lock, both, Caps Lock, none
        press("ctrl+alt+o");
        EXPECT_TRUE(receivedDownAndUp()) << "after " << lockKey;
    }
}

TEST_F(HotKeys, TheGrabFollowsTheStoredShortcutAndExistsOnlyWhileSomebodyListensUnpaused) {
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

    setShortcut(optionCommandP, name);
    press("ctrl+alt+o");
    EXPECT_TRUE(receivedNothing());
    press("ctrl+alt+p");
    EXPECT_TRUE(receivedDownAndUp());
    setShortcut(std::nullopt, name);
    EXPECT_TRUE(OtherClient().grab(optionCommandP)) << "a removed shortcut must not stay grabbed";
    setShortcut(optionCommandO, name);
    listener.reset();
    EXPECT_TRUE(OtherClient().grab(optionCommandO)) << "nobody listens any more";
}

TEST_F(HotKeys, AShortcutGrabbedByAnotherClientFailsWithTheDiagnostic) {
    OtherClient other;
    ASSERT_TRUE(other.grab(optionCommandO));
    EXPECT_TRUE(isTakenByAnotherClient(optionCommandO));
    EXPECT_FALSE(isTakenByAnotherClient(optionCommandP));

    testing::internal::CaptureStderr();
    listen(Name("togglePanel", optionCommandO));
    events(Name("togglePanel")).reset();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error registering hotkey Ctrl+Alt+O\n")
        << "once per registration";
    press("ctrl+alt+o");
    EXPECT_TRUE(receivedNothing());
}

} // namespace
