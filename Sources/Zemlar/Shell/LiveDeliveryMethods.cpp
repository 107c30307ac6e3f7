// SPDX-License-Identifier: GPL-3.0-or-later
#include "LiveDeliveryMethods.hpp"

#include <ZemlarKit/CodeDeliveryFlow.hpp>
#include <ZemlarKit/SystemPasteboard.hpp>
#include <ZemlarKit/TypingDelivery.hpp>
#include <chrono>

namespace zemlar {
namespace {

using namespace std::chrono_literals;

TypingDelivery typing(const Account& account, SubmitMode mode,
                      std::optional<std::uint64_t> targetWindow = std::nullopt) {
    return TypingDelivery(10ms, mode == SubmitMode::typeAndSubmit || account.pressesReturn,
                          targetWindow);
}

} // namespace

LiveDeliveryMethods::LiveDeliveryMethods(AppEnvironment environment)
    : environment(std::move(environment)), clipboard(std::make_shared<SystemPasteboard>(), 30s) {}

bool LiveDeliveryMethods::prepare(const Account& account, SubmitMode mode) {
    if (mode == SubmitMode::copy) {
        return clipboard.prepare().has_value();
    }
    return typing(account, mode).prepare().has_value();
}

QCoro::Task<std::optional<DeliveryFailure>>
LiveDeliveryMethods::run(Account account, SubmitMode mode, CodeDeliveryFlow::Clock clock,
                         std::optional<std::uint64_t> targetWindow) {
    TypingDelivery typist = typing(account, mode, targetWindow);
    CodeDelivery& method = mode == SubmitMode::copy ? static_cast<CodeDelivery&>(clipboard)
                                                    : static_cast<CodeDelivery&>(typist);
    auto delivering = CodeDeliveryFlow::run(account, std::move(clock), method,
                                            *environment.accountStore, *environment.secretStore);
    const auto result = co_await delivering;
    if (result) {
        co_return std::nullopt;
    }
    const auto& error = result.error();
    const auto deliveryFailed = [&error](DeliveryError::Kind kind) {
        return error.kind() == CodeDeliveryFlowError::Kind::delivery &&
               error.deliveryError().kind() == kind;
    };
    co_return DeliveryFailure{.description = error.describe(),
                              .accessibilityDenied =
                                  deliveryFailed(DeliveryError::Kind::accessibilityDenied),
                              .focusLost = deliveryFailed(DeliveryError::Kind::focusLost)};
}

} // namespace zemlar
