// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountStore.hpp"
#include "ZemlarKit/CodeDelivery.hpp"
#include "ZemlarKit/CodeDeliveryFlowError.hpp"
#include "ZemlarKit/SecretStore.hpp"

#include <OTPCore/Account.hpp>
#include <OTPCore/Date.hpp>
#include <QCoroTask>
#include <functional>

/// From a picked account to a delivered code.
namespace zemlar::CodeDeliveryFlow {

/// The time of day, read whenever the flow needs it.
using Clock = std::function<Date()>;

/// Reads the account's secret in the background, waits while the code of the moment has less
/// than the fresh-code minimum of life left, computes the code of that moment and hands it to
/// the delivery method; after a successful delivery records the use in the background (a
/// failure to save it is not an error). Runs on the main thread; the delivery and the stores
/// must outlive the returned task.
QCoro::Task<Result<void, CodeDeliveryFlowError>> run(Account account, Clock clock,
                                                     CodeDelivery& delivery,
                                                     AccountStore& accountStore,
                                                     SecretStore& secretStore);

} // namespace zemlar::CodeDeliveryFlow
