// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <atomic>
#include <chrono>
#include <mutex>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace zemlar::testing {

/// One key press as the field received it.
struct ReceivedKey {
    std::string text;
    unsigned int state = 0;
    std::chrono::steady_clock::time_point arrival;
};

/// A window of our own on its own X connection that holds the keyboard focus and turns the key
/// presses it receives into text, as a single-line text field would (Return becomes a newline).
/// Reads its events on its own thread, so keys are seen as soon as the server sends them.
class TestTextField {
public:
    /// Whether the field is a top-level window or, as toolkits often make it, a child of one.
    enum class Placement { topLevel, insideTopLevel };

    explicit TestTextField(Placement placement = Placement::topLevel)
        : display_(XOpenDisplay(nullptr)) {
        if (display_ == nullptr) {
            throw std::runtime_error("cannot open the X display");
        }
        const int screen = DefaultScreen(display_);
        const auto create = [&](Window parent, int x, int y) {
            return XCreateSimpleWindow(display_, parent, x, y, 300, 40, 1,
                                       BlackPixel(display_, screen), WhitePixel(display_, screen));
        };
        topLevel_ = create(RootWindow(display_, screen), 10, 10);
        window_ = placement == Placement::topLevel ? topLevel_ : create(topLevel_, 0, 0);
        XSelectInput(display_, window_, KeyPressMask | StructureNotifyMask | FocusChangeMask);
        if (window_ != topLevel_) {
            XSelectInput(display_, topLevel_, StructureNotifyMask);
        }
        XMapSubwindows(display_, topLevel_);
        XMapRaised(display_, topLevel_);
        XEvent event;
        do {
            XNextEvent(display_, &event);
        } while (event.type != MapNotify || event.xmap.window != topLevel_);
        focus();
        reader_ = std::thread([this] {
            pollfd descriptor{ConnectionNumber(display_), POLLIN, 0};
            XEvent next;
            while (!stop_) {
                while (XPending(display_) > 0) {
                    XNextEvent(display_, &next);
                    handle(next);
                }
                poll(&descriptor, 1, 5);
            }
        });
    }

    ~TestTextField() {
        stop_ = true;
        reader_.join();
        XDestroyWindow(display_, topLevel_);
        XCloseDisplay(display_);
    }
    TestTextField(const TestTextField&) = delete;
    TestTextField& operator=(const TestTextField&) = delete;

    /// The top-level window: the field itself, or the window it lies in.
    Window topLevel() const { return topLevel_; }

    /// Takes the keyboard focus.
    void focus() {
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        XSync(display_, False);
    }

    std::string text() const {
        std::string result;
        for (const ReceivedKey& key : keys()) {
            result += key.text;
        }
        return result;
    }

    std::vector<ReceivedKey> keys() const {
        std::lock_guard lock(mutex_);
        return keys_;
    }

    void clear() {
        std::lock_guard lock(mutex_);
        keys_.clear();
    }

    /// Waits until the field holds at least `count` keys or the time is up.
    bool waitForKeys(std::size_t count,
                     std::chrono::milliseconds timeout = std::chrono::milliseconds(2000)) const {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (keys().size() < count) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return true;
    }

private:
    void handle(XEvent& event) {
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
        }
        if (event.type != KeyPress) {
            return;
        }
        const auto arrival = std::chrono::steady_clock::now();
        char buffer[16] = {};
        KeySym symbol = NoSymbol;
        const int length = XLookupString(&event.xkey, buffer, sizeof buffer, &symbol, nullptr);
        const bool enter = symbol == XK_Return || symbol == XK_KP_Enter;
        if (enter || length > 0) { // not a modifier key
            std::lock_guard lock(mutex_);
            keys_.push_back({enter ? "\n" : std::string(buffer, static_cast<std::size_t>(length)),
                             event.xkey.state, arrival});
        }
    }

    Display* display_ = nullptr;
    Window topLevel_ = 0;
    Window window_ = 0;
    std::thread reader_;
    std::atomic<bool> stop_ = false;
    mutable std::mutex mutex_;
    std::vector<ReceivedKey> keys_;
};

} // namespace zemlar::testing
