// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/CodeDelivery.hpp"

#include <chrono>
#include <cstdint>
#include <optional>

namespace zemlar {

/// Types the code into the focused window of the X display named by DISPLAY, through XTEST.
///
/// Digits come out as digits whatever the keyboard layout: each is typed with the key and the
/// Shift or AltGr level that produce it in the current group, and when no key does, a keycode
/// without symbols is given the digit for the duration of the typing (and a short grace after
/// the last key, so that a slow client still reads the digit). Modifier keys still held (from
/// the shortcut or Shift-Return) are released first; at the end only those the user still holds
/// on a real keyboard are pressed again.
///
/// With a target window, the keys go only to it: before every key the typing checks that the
/// keyboard focus is on that window or inside it, and stops with focusLost otherwise, so Return
/// is never pressed into another window.
class TypingDelivery final : public CodeDelivery {
public:
    explicit TypingDelivery(std::chrono::milliseconds keyInterval = std::chrono::milliseconds(10),
                            bool pressReturn = false,
                            std::optional<std::uint64_t> targetWindow = std::nullopt)
        : keyInterval(keyInterval), pressReturn(pressReturn), targetWindow(targetWindow) {}

    /// Success when the display opens and offers XTEST; otherwise accessibilityDenied. X has no
    /// permission prompt to show.
    Result<void, DeliveryError> prepare() override;
    /// Types the digits, then Return when `pressReturn`, pausing `keyInterval` after every key.
    /// Once begun, the typing runs to its end unless the target window loses the focus.
    QCoro::Task<Result<void, DeliveryError>> deliver(std::string code) override;

    /// The pause after each key.
    std::chrono::milliseconds keyInterval;
    /// Whether Return follows the digits.
    bool pressReturn;
    /// The X window the code is meant for (a top-level window; a focus on one of its children
    /// counts as its own). Before the first key the typing waits a moment for it to get the focus
    /// back. None types wherever the focus is.
    std::optional<std::uint64_t> targetWindow;

    bool operator==(const TypingDelivery& other) const {
        return keyInterval == other.keyInterval && pressReturn == other.pressReturn &&
               targetWindow == other.targetWindow;
    }
};

} // namespace zemlar
