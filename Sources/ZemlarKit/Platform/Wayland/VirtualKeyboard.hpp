// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

namespace zemlar {

/// A virtual keyboard of the compositor named by WAYLAND_DISPLAY, on a connection of its own
/// (not the toolkit's), carrying the digits keymap. Its keys reach the seat's focused surface.
class VirtualKeyboard {
public:
    /// Whether the compositor offers virtual keyboards (and a seat to put one on).
    static bool isOffered();
    /// A keyboard ready to type; none without a compositor or without the protocol.
    static std::unique_ptr<VirtualKeyboard> open();

    ~VirtualKeyboard();
    VirtualKeyboard(const VirtualKeyboard&) = delete;
    VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

    /// Presses and releases the key; false once the connection has failed.
    bool tap(std::uint32_t key);

private:
    explicit VirtualKeyboard(wl_display* display);
    bool bind();
    bool sendKeymap();
    bool flush();

    wl_display* display_;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    zwp_virtual_keyboard_manager_v1* manager_ = nullptr;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
};

} // namespace zemlar
