// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/DeliveryError.hpp"

#include <OTPCore/Result.hpp>
#include <chrono>
#include <qcoro/qcorotask.h>
#include <string>

/// Typing in a Wayland session, through a virtual keyboard with the digits keymap: what
/// TypingDelivery does there. The keys go to whichever surface has the keyboard focus, so the
/// typing starts only once none of our windows has it any more.
namespace zemlar::WaylandTyping {

/// Success when the compositor offers virtual keyboards; otherwise accessibilityDenied, which
/// makes the alert offer copying instead.
Result<void, DeliveryError> prepare();

/// Types the digits (then Return when asked), pausing `keyInterval` after every key. Fails
/// with focusLost when one of our windows still holds the keyboard focus after a short wait.
QCoro::Task<Result<void, DeliveryError>>
type(std::string code, std::chrono::milliseconds keyInterval, bool pressReturn);

} // namespace zemlar::WaylandTyping
