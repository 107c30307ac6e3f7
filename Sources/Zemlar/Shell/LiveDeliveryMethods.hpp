// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppEnvironment.hpp"
#include "DeliveryMethods.hpp"

#include <ZemlarKit/ClipboardDelivery.hpp>

namespace zemlar {

/// Typing over XTEST (10 ms between keys) for the two typing modes, the one shared clipboard
/// (cleared after 30 seconds) for copying, and the delivery flow over the environment's
/// account and secret stores.
class LiveDeliveryMethods final : public DeliveryMethods {
public:
    explicit LiveDeliveryMethods(AppEnvironment environment);

    bool prepare(const Account& account, SubmitMode mode) override;
    QCoro::Task<std::optional<DeliveryFailure>>
    run(Account account, SubmitMode mode, CodeDeliveryFlow::Clock clock,
        std::optional<std::uint64_t> targetWindow) override;

    AppEnvironment environment;
    ClipboardDelivery clipboard;
};

} // namespace zemlar
