// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11HeldKeys.hpp"

#include <X11/extensions/XInput.h>
#include <X11/extensions/XInput2.h>
#include <span>
#include <string_view>

namespace zemlar::X11HeldKeys {
namespace {

/// The master keyboard that this connection's XTEST key events reach: the partner of its
/// client pointer, else the first master keyboard.
int masterKeyboard(Display* display, std::span<const XIDeviceInfo> devices) {
    int pointer = 0;
    if (XIGetClientPointer(display, None, &pointer)) {
        for (const XIDeviceInfo& device : devices) {
            if (device.deviceid == pointer && device.use == XIMasterPointer) {
                return device.attachment;
            }
        }
    }
    for (const XIDeviceInfo& device : devices) {
        if (device.use == XIMasterKeyboard) {
            return device.deviceid;
        }
    }
    return -1;
}

/// Whether the slave keyboard is one of XTEST's, which the server marks with a property.
bool isXTestDevice(Display* display, const XIDeviceInfo& device) {
    const Atom property = XInternAtom(display, "XTEST Device", True);
    if (property != None) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        const int status = XIGetProperty(display, device.deviceid, property, 0, 1, False,
                                         AnyPropertyType, &type, &format, &count, &after, &data);
        if (data != nullptr) {
            XFree(data);
        }
        if (status == Success && type != None) {
            return true;
        }
    }
    return std::string_view(device.name).ends_with(" XTEST keyboard");
}

} // namespace

KeyBits physicallyHeld(Display* display) {
    KeyBits held{};
    int opcode = 0, eventBase = 0, errorBase = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &eventBase, &errorBase)) {
        return held;
    }
    int major = 2, minor = 0;
    if (XIQueryVersion(display, &major, &minor) != Success) {
        return held;
    }
    int count = 0;
    XIDeviceInfo* devices = XIQueryDevice(display, XIAllDevices, &count);
    if (devices == nullptr) {
        return held;
    }
    const std::span<const XIDeviceInfo> all(devices, static_cast<std::size_t>(count));
    const int master = masterKeyboard(display, all);
    for (const XIDeviceInfo& device : all) {
        if (device.use != XISlaveKeyboard || device.attachment != master ||
            isXTestDevice(display, device)) {
            continue;
        }
        XDevice* opened = XOpenDevice(display, static_cast<XID>(device.deviceid));
        if (opened == nullptr) {
            continue;
        }
        if (XDeviceState* state = XQueryDeviceState(display, opened)) {
            XInputClass* item = state->data;
            for (int index = 0; index < state->num_classes; ++index) {
                if (item->c_class == KeyClass) {
                    const auto* keys = reinterpret_cast<const XKeyState*>(item);
                    for (std::size_t byte = 0; byte < held.size(); ++byte) {
                        held[byte] = static_cast<char>(held[byte] | keys->keys[byte]);
                    }
                }
                item = reinterpret_cast<XInputClass*>(reinterpret_cast<char*>(item) + item->length);
            }
            XFreeDeviceState(state);
        }
        XCloseDevice(display, opened);
    }
    XIFreeDeviceInfo(devices);
    return held;
}

} // namespace zemlar::X11HeldKeys
