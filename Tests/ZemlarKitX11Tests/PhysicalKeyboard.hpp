// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XInput.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <string_view>
#include <vector>

namespace zemlar::testing {

/// The user's hands on the server's own keyboard device: XTEST's device events are credited to
/// it, unlike the core XTEST events of the typing and xdotool. Lets go of what it holds at its end.
class PhysicalKeyboard {
public:
    PhysicalKeyboard() : display_(XOpenDisplay(nullptr)) {
        int count = 0;
        XIDeviceInfo* devices = XIQueryDevice(display_, XIAllDevices, &count);
        for (int index = 0; index < count && device_ == nullptr; ++index) {
            if (devices[index].use == XISlaveKeyboard &&
                std::string_view(devices[index].name).find("XTEST") == std::string_view::npos) {
                device_ = XOpenDevice(display_, static_cast<XID>(devices[index].deviceid));
            }
        }
        XIFreeDeviceInfo(devices);
    }
    ~PhysicalKeyboard() {
        while (!held_.empty()) {
            release(held_.back());
        }
        if (device_ != nullptr) {
            XCloseDevice(display_, device_);
        }
        XCloseDisplay(display_);
    }
    PhysicalKeyboard(const PhysicalKeyboard&) = delete;
    PhysicalKeyboard& operator=(const PhysicalKeyboard&) = delete;

    bool available() const { return device_ != nullptr; }
    void press(KeySym symbol) { send(symbol, True); }
    void release(KeySym symbol) { send(symbol, False); }

private:
    void send(KeySym symbol, Bool down) {
        XTestFakeDeviceKeyEvent(display_, device_, XKeysymToKeycode(display_, symbol), down,
                                nullptr, 0, CurrentTime);
        XSync(display_, False);
        std::erase(held_, symbol);
        if (down) {
            held_.push_back(symbol);
        }
    }

    Display* display_;
    XDevice* device_ = nullptr;
    std::vector<KeySym> held_;
};

} // namespace zemlar::testing
