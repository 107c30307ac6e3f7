// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/DeliveryError.hpp"

#include <OTPCore/Result.hpp>
#include <chrono>
#include <cstdint>
#include <optional>
#include <qcoro/qcorotask.h>
#include <string>

/// Typing into the focused window of the X display named by DISPLAY, through XTEST: what
/// TypingDelivery does in an X11 session.
namespace zemlar::X11Typing {

/// Success when the display opens and offers XTEST; otherwise accessibilityDenied.
Result<void, DeliveryError> prepare();

/// Types the digits (then Return when asked), pausing `keyInterval` after every key, only
/// while `targetWindow` (when given) has the keyboard focus.
QCoro::Task<Result<void, DeliveryError>> type(std::string code,
                                              std::chrono::milliseconds keyInterval,
                                              bool pressReturn,
                                              std::optional<std::uint64_t> targetWindow);

} // namespace zemlar::X11Typing
