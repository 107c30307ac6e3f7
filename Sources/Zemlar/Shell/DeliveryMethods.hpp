// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SubmitMode.hpp"

#include <OTPCore/Account.hpp>
#include <OTPCore/Date.hpp>
#include <ZemlarKit/CodeDeliveryFlow.hpp>
#include <cstdint>
#include <optional>
#include <qcoro/qcorotask.h>
#include <string>

namespace zemlar {

/// Why a delivery did not hand the code over.
struct DeliveryFailure {
    /// The error's own description, for the log.
    std::string description;
    /// The typing may not post key events: the accessibility alert is shown.
    bool accessibilityDenied = false;
    /// Another window took the keyboard focus before the typing was done: the focus alert is
    /// shown.
    bool focusLost = false;

    bool operator==(const DeliveryFailure&) const = default;
};

/// The shell's way to the delivery: which method a mode uses, its quick check, and the flow
/// that reads the secret, computes the code at the moment, hands it over and records the use.
class DeliveryMethods {
public:
    virtual ~DeliveryMethods() = default;

    /// The quick check of the mode's method; false when typing is not possible.
    virtual bool prepare(const Account& account, SubmitMode mode) = 0;
    /// Runs the delivery flow with the mode's method, computing the code when `clock` says it
    /// is fresh; nothing on success. The typing goes only to `targetWindow` (the X window the
    /// user came from), or wherever the focus is without one.
    virtual QCoro::Task<std::optional<DeliveryFailure>>
    run(Account account, SubmitMode mode, CodeDeliveryFlow::Clock clock,
        std::optional<std::uint64_t> targetWindow) = 0;
};

} // namespace zemlar
