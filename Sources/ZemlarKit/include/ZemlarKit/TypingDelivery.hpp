// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/CodeDelivery.hpp"

#include <chrono>

namespace zemlar {

/// Types the code into the focused window of the X display named by DISPLAY, through XTEST.
///
/// Digits come out as digits whatever the keyboard layout: each is typed with the key and the
/// Shift or AltGr level that produce it in the current group, and when no key does, a keycode
/// without symbols is given the digit for the duration of the typing. Modifier keys still held
/// (from the shortcut or Shift-Return) are released first and pressed again afterwards.
class TypingDelivery final : public CodeDelivery {
public:
    explicit TypingDelivery(std::chrono::milliseconds keyInterval = std::chrono::milliseconds(10),
                            bool pressReturn = false)
        : keyInterval(keyInterval), pressReturn(pressReturn) {}

    /// Success when the display opens and offers XTEST; otherwise accessibilityDenied. X has no
    /// permission prompt to show.
    Result<void, DeliveryError> prepare() override;
    /// Types the digits, then Return when `pressReturn`, pausing `keyInterval` after every key.
    /// Once begun, the typing always runs to its end.
    QCoro::Task<Result<void, DeliveryError>> deliver(std::string code) override;

    /// The pause after each key.
    std::chrono::milliseconds keyInterval;
    /// Whether Return follows the digits.
    bool pressReturn;

    bool operator==(const TypingDelivery& other) const {
        return keyInterval == other.keyInterval && pressReturn == other.pressReturn;
    }
};

} // namespace zemlar
