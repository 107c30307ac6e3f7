// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountStore.hpp"
#include "ZemlarKit/CodeDelivery.hpp"
#include "ZemlarKit/CodeDeliveryFlowError.hpp"
#include "ZemlarKit/SecretStore.hpp"

#include <OTPCore/Account.hpp>
#include <OTPCore/Date.hpp>
#include <QCoroTask>

/// From a picked account to a delivered code.
namespace zemlar::CodeDeliveryFlow {

/// Reads the account's secret, computes the code of `now` and hands it to the delivery method;
/// after a successful delivery records the use in the background (a failure to save it is not
/// an error). Runs on the main thread; the delivery and the stores must outlive the returned
/// task.
QCoro::Task<Result<void, CodeDeliveryFlowError>> run(Account account, Date now,
                                                     CodeDelivery& delivery,
                                                     AccountStore& accountStore,
                                                     SecretStore& secretStore);

} // namespace zemlar::CodeDeliveryFlow
