// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/DeliveryError.hpp"
#include "ZemlarKit/SecretStoreError.hpp"

#include <string>
#include <variant>

namespace zemlar {

/// Why a picked account's code was not handed over.
class CodeDeliveryFlowError {
public:
    enum class Kind { secrets, delivery };

    /// Reading the account's secret failed.
    static CodeDeliveryFlowError secrets(SecretStoreError error) {
        return CodeDeliveryFlowError(error);
    }
    /// The delivery method failed.
    static CodeDeliveryFlowError delivery(DeliveryError error) {
        return CodeDeliveryFlowError(error);
    }

    Kind kind() const { return static_cast<Kind>(payload_.index()); }
    /// The payloads; each only for its own kind.
    const SecretStoreError& secretsError() const { return std::get<0>(payload_); }
    const DeliveryError& deliveryError() const { return std::get<1>(payload_); }
    std::string describe() const;

    bool operator==(const CodeDeliveryFlowError&) const = default;

private:
    template <class Payload> explicit CodeDeliveryFlowError(Payload payload) : payload_(payload) {}

    std::variant<SecretStoreError, DeliveryError> payload_;
};

} // namespace zemlar
