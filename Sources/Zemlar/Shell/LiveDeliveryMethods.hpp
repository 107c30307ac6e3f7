// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppEnvironment.hpp"
#include "DeliveryMethods.hpp"

#include <ZemlarKit/ClipboardDelivery.hpp>
#include <functional>
#include <memory>

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
    /// Where the desktop has a typing service of its own: the typing for a delivery that presses
    /// Return or not. XTEST serves without one.
    std::function<std::unique_ptr<CodeDelivery>(bool pressReturn)> desktopTyping;

private:
    std::unique_ptr<CodeDelivery> typist(const Account& account, SubmitMode mode,
                                         std::optional<std::uint64_t> targetWindow) const;
};

} // namespace zemlar
