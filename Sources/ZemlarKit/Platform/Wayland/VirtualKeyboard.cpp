// SPDX-License-Identifier: GPL-3.0-or-later
#include "VirtualKeyboard.hpp"

#include "DigitsKeymap.hpp"
#include "virtual-keyboard-unstable-v1-client-protocol.h"

#include <chrono>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace zemlar {
namespace {

void announce(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t /*version*/);
void withdraw(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}

const wl_registry_listener registryListener{.global = announce, .global_remove = withdraw};

struct Found {
    wl_seat* seat = nullptr;
    zwp_virtual_keyboard_manager_v1* manager = nullptr;
};

void announce(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t /*version*/) {
    auto& found = *static_cast<Found*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !found.seat) {
        found.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0 &&
               !found.manager) {
        found.manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }
}

std::uint32_t milliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

} // namespace

bool VirtualKeyboard::isOffered() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        return false;
    }
    VirtualKeyboard probe(display);
    return probe.bind();
}

std::unique_ptr<VirtualKeyboard> VirtualKeyboard::open() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        return nullptr;
    }
    std::unique_ptr<VirtualKeyboard> keyboard(new VirtualKeyboard(display));
    if (!keyboard->bind() || !keyboard->sendKeymap()) {
        return nullptr;
    }
    return keyboard;
}

VirtualKeyboard::VirtualKeyboard(wl_display* display) : display_(display) {}

VirtualKeyboard::~VirtualKeyboard() {
    if (keyboard_) {
        zwp_virtual_keyboard_v1_destroy(keyboard_);
    }
    if (manager_) {
        zwp_virtual_keyboard_manager_v1_destroy(manager_);
    }
    if (seat_) {
        wl_seat_destroy(seat_);
    }
    if (registry_) {
        wl_registry_destroy(registry_);
    }
    wl_display_roundtrip(display_); // the compositor has dropped the keyboard before we leave
    wl_display_disconnect(display_);
}

bool VirtualKeyboard::bind() {
    Found found;
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &registryListener, &found);
    const bool answered = wl_display_roundtrip(display_) >= 0;
    seat_ = found.seat;
    manager_ = found.manager;
    return answered && seat_ && manager_;
}

bool VirtualKeyboard::sendKeymap() {
    const std::string_view keymap = DigitsKeymap::text();
    const std::size_t size = keymap.size() + 1; // the compositor reads a NUL-terminated string
    const int file = memfd_create("zemlar-keymap", MFD_CLOEXEC);
    if (file < 0) {
        return false;
    }
    const bool written =
        ftruncate(file, static_cast<off_t>(size)) == 0 &&
        pwrite(file, keymap.data(), keymap.size(), 0) == static_cast<ssize_t>(keymap.size());
    if (written) {
        keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager_, seat_);
        zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, file,
                                       static_cast<std::uint32_t>(size));
        zwp_virtual_keyboard_v1_modifiers(keyboard_, 0, 0, 0, 0);
    }
    ::close(file);
    return written && wl_display_roundtrip(display_) >= 0;
}

bool VirtualKeyboard::tap(std::uint32_t key) {
    zwp_virtual_keyboard_v1_key(keyboard_, milliseconds(), key, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_key(keyboard_, milliseconds(), key, WL_KEYBOARD_KEY_STATE_RELEASED);
    return flush();
}

bool VirtualKeyboard::flush() {
    return wl_display_flush(display_) >= 0 && wl_display_get_error(display_) == 0;
}

} // namespace zemlar
