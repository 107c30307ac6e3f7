// SPDX-License-Identifier: GPL-3.0-or-later
#include <KeyboardShortcuts/Events.hpp>
#include <TestSupport/FreshSettings.hpp>

using namespace zemlar::KeyboardShortcuts;
using zemlar::testing::FreshSettings;

namespace {

constexpr Shortcut optionCommandO{31, CarbonModifier::command | CarbonModifier::option};

using EventsWithoutDisplay = FreshSettings;

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
    EXPECT_FALSE(isTakenByAnotherClient(optionCommandO));
}

} // namespace
