// SPDX-License-Identifier: GPL-3.0-or-later
#include <KeyboardShortcuts/Events.hpp>
#include <KeyboardShortcuts/KeyMapping.hpp>
#include <KeyboardShortcuts/Name.hpp>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

// Xlib last: its macros clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/keysym.h>

using namespace zemlar::KeyboardShortcuts;

namespace {

constexpr Shortcut optionCommandO{31, CarbonModifier::command | CarbonModifier::option};
constexpr Shortcut optionCommandP{35, CarbonModifier::command | CarbonModifier::option};

int otherClientErrors = 0;
int countError(Display* /*display*/, XErrorEvent* /*error*/) {
    ++otherClientErrors;
    return 0;
}

/// A second X client of the same server.
class OtherClient {
public:
    OtherClient() : display_(XOpenDisplay(nullptr)) {}
    ~OtherClient() {
        if (display_) {
            XCloseDisplay(display_);
        }
    }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    bool isOpen() const { return display_ != nullptr; }

    /// Grabs the key with exactly these modifiers; false when the server refuses.
    bool grab(const Shortcut& shortcut) {
        const KeyCode keycode =
            XKeysymToKeycode(display_, *KeyMapping::keysymForCarbonKeyCode(shortcut.carbonKeyCode));
        otherClientErrors = 0;
        XErrorHandler previous = XSetErrorHandler(countError);
        XGrabKey(display_, keycode, KeyMapping::xMaskForCarbonModifiers(shortcut.carbonModifiers),
                 DefaultRootWindow(display_), False, GrabModeAsync, GrabModeAsync);
        XSync(display_, False);
        XSetErrorHandler(previous);
        return otherClientErrors == 0;
    }

private:
    Display* display_;
};

bool waitFor(const std::function<bool()>& condition, int milliseconds = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

void settle() {
    waitFor([] { return false; }, 300);
}

class HotKeys : public ::testing::Test {
protected:
    void SetUp() override {
        clearSettings();
        if (qEnvironmentVariableIsEmpty("DISPLAY") || !OtherClient().isOpen()) {
            GTEST_SKIP() << "needs an X server on DISPLAY (for example Xvfb :77 & DISPLAY=:77)";
        }
        if (QStandardPaths::findExecutable("xdotool").isEmpty()) {
            GTEST_SKIP() << "needs xdotool";
        }
    }

    void TearDown() override {
        listener.reset();
        clearSettings();
    }

    static void clearSettings() {
        QSettings settings(QStringLiteral("Zemlar"), QStringLiteral("Zemlar"));
        settings.clear();
        settings.sync();
    }

    void listen(const Name& name) {
        listener = events(name);
        QObject::connect(listener.get(), &EventListener::event, listener.get(),
                         [this](EventType type) { received.push_back(type); });
    }

    static void press(const char* keys) {
        ASSERT_EQ(QProcess::execute("xdotool", {"key", "--delay", "20", keys}), 0) << keys;
    }

    bool receivedDownAndUp() {
        const std::vector<EventType> expected{EventType::keyDown, EventType::keyUp};
        const bool done = waitFor([&] { return received.size() >= 2; });
        settle();
        const bool matches = done && received == expected;
        received.clear();
        return matches;
    }

    bool receivedNothing() {
        settle();
        const bool nothing = received.empty();
        received.clear();
        return nothing;
    }

    std::unique_ptr<EventListener> listener;
    std::vector<EventType> received;
};

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
    const std::string diagnostics = testing::internal::GetCapturedStderr();
    EXPECT_EQ(diagnostics, "Error registering hotkey Ctrl+Alt+O\n");
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
