// SPDX-License-Identifier: GPL-3.0-or-later
#include "LiveDeliveryMethods.hpp"

#include <ZemlarKit/CodeDeliveryFlow.hpp>
#include <ZemlarKit/SystemPasteboard.hpp>
#include <ZemlarKit/TypingDelivery.hpp>
#include <chrono>

namespace zemlar {
namespace {

using namespace std::chrono_literals;

TypingDelivery typing(const Account& account, SubmitMode mode) {
    return TypingDelivery(10ms, mode == SubmitMode::typeAndSubmit || account.pressesReturn);
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
LiveDeliveryMethods::run(Account account, SubmitMode mode, CodeDeliveryFlow::Clock clock) {
    TypingDelivery typist = typing(account, mode);
    CodeDelivery& method = mode == SubmitMode::copy ? static_cast<CodeDelivery&>(clipboard)
                                                    : static_cast<CodeDelivery&>(typist);
    auto delivering = CodeDeliveryFlow::run(account, std::move(clock), method,
                                            *environment.accountStore, *environment.secretStore);
    const auto result = co_await delivering;
    if (result) {
        co_return std::nullopt;
    }
    const auto& error = result.error();
    const bool denied = error.kind() == CodeDeliveryFlowError::Kind::delivery &&
                        error.deliveryError().kind() == DeliveryError::Kind::accessibilityDenied;
    co_return DeliveryFailure{.description = error.describe(), .accessibilityDenied = denied};
}

} // namespace zemlar
