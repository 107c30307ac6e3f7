// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XInput.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <algorithm>
#include <string_view>
#include <vector>

namespace zemlar::testing {

/// The user's hands on the X server's own keyboard device (Xvfb's). Its keys are injected
/// through XTEST's device events, which the server credits to that device, so to the server
/// they come from a real keyboard, unlike the core XTEST events that the typing and xdotool send
/// through XTEST's own device. Lets go of what it still holds when it ends.
class PhysicalKeyboard {
public:
    PhysicalKeyboard() : display_(XOpenDisplay(nullptr)) {
        int count = 0;
        XIDeviceInfo* devices = XIQueryDevice(display_, XIAllDevices, &count);
        for (int index = 0; index < count && device_ == nullptr; ++index) {
            const XIDeviceInfo& info = devices[index];
            if (info.use == XISlaveKeyboard &&
                std::string_view(info.name).find("XTEST") == std::string_view::npos) {
                device_ = XOpenDevice(display_, static_cast<XID>(info.deviceid));
            }
        }
        XIFreeDeviceInfo(devices);
    }
    ~PhysicalKeyboard() {
        for (const KeySym symbol : std::vector(held_)) {
            release(symbol);
        }
        if (device_ != nullptr) {
            XCloseDevice(display_, device_);
        }
        XCloseDisplay(display_);
    }
    PhysicalKeyboard(const PhysicalKeyboard&) = delete;
    PhysicalKeyboard& operator=(const PhysicalKeyboard&) = delete;

    bool available() const { return device_ != nullptr; }

    void press(KeySym symbol) {
        send(symbol, True);
        held_.push_back(symbol);
    }

    void release(KeySym symbol) {
        send(symbol, False);
        std::erase(held_, symbol);
    }

private:
    void send(KeySym symbol, Bool down) {
        XTestFakeDeviceKeyEvent(display_, device_, XKeysymToKeycode(display_, symbol), down,
                                nullptr, 0, CurrentTime);
        XSync(display_, False);
    }

    Display* display_;
    XDevice* device_ = nullptr;
    std::vector<KeySym> held_;
};

} // namespace zemlar::testing
