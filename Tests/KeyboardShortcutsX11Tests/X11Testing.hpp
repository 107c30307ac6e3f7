// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the tests on the X display. Include it last: Xlib's macros clash with Qt's names.
#pragma once

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
#include <memory>
#include <utility>
#include <vector>

// Last: Xlib's macros (None, Bool, KeyPress…) clash with Qt's and GoogleTest's names.
#include <X11/Xlib.h>

namespace zemlar::KeyboardShortcuts::X11Testing {

constexpr Shortcut optionCommandO{31, CarbonModifier::command | CarbonModifier::option};
constexpr Shortcut optionCommandP{35, CarbonModifier::command | CarbonModifier::option};

inline int otherClientErrors = 0;

/// A second X client of the same server.
class OtherClient {
public:
    OtherClient() : display_(XOpenDisplay(nullptr)) {}
    ~OtherClient() {
        if (display_) {
            XCloseDisplay(display_);
        }
    }
    bool isOpen() const { return display_ != nullptr; }

    /// Grabs the key with these modifiers (plus `extraMask`); false when the server refuses.
    bool grab(const Shortcut& shortcut, unsigned extraMask = 0) {
        const KeyCode keycode =
            XKeysymToKeycode(display_, *KeyMapping::keysymForCarbonKeyCode(shortcut.carbonKeyCode));
        otherClientErrors = 0;
        XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) {
            ++otherClientErrors;
            return 0;
        });
        XGrabKey(display_, keycode,
                 KeyMapping::xMaskForCarbonModifiers(shortcut.carbonModifiers) | extraMask,
                 DefaultRootWindow(display_), False, GrabModeAsync, GrabModeAsync);
        XSync(display_, False);
        XSetErrorHandler(previous);
        return otherClientErrors == 0;
    }

private:
    Display* display_;
};

inline bool waitFor(const std::function<bool()>& condition, int milliseconds = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() <= milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return condition();
}

class HotKeys : public ::testing::Test {
protected:
    void SetUp() override {
        clearSettings();
        if (qEnvironmentVariableIsEmpty("DISPLAY") || !OtherClient().isOpen() ||
            QStandardPaths::findExecutable("xdotool").isEmpty()) {
            GTEST_SKIP() << "needs an X server on DISPLAY (for example Xvfb :77) and xdotool";
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
    /// Whether, once things settled, exactly these events arrived; forgets them.
    bool got(const std::vector<EventType>& expected) {
        waitFor([&] { return received.size() >= expected.size(); });
        waitFor([] { return false; }, 300);
        return std::exchange(received, {}) == expected;
    }
    bool receivedDownAndUp() { return got({EventType::keyDown, EventType::keyUp}); }
    bool receivedNothing() { return got({}); }

    std::unique_ptr<EventListener> listener;
    std::vector<EventType> received;
};

} // namespace zemlar::KeyboardShortcuts::X11Testing
