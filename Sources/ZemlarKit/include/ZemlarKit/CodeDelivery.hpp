// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/DeliveryError.hpp"

#include <OTPCore/Result.hpp>
#include <QCoroTask>
#include <string>

namespace zemlar {

/// A way of handing a code to the user: typing it or putting it on the clipboard.
class CodeDelivery {
public:
    virtual ~CodeDelivery() = default;

    /// A quick check, before anything else happens, that the method can work at all.
    virtual Result<void, DeliveryError> prepare() = 0;
    /// Hands over the plain code (digits only). Runs on the main thread.
    virtual QCoro::Task<Result<void, DeliveryError>> deliver(std::string code) = 0;
};

} // namespace zemlar
