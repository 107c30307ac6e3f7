// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/CodeDeliveryFlow.hpp"

#include "ZemlarKit/AccountFlows.hpp"

#include <OTPCore/Crypto.hpp>
#include <OTPCore/HOTP.hpp>
#include <OTPCore/TOTP.hpp>
#include <QtConcurrent/QtConcurrentRun>
#include <qcoro/qcorofuture.h>

namespace zemlar::CodeDeliveryFlow {

namespace {

/// The code of the moment; the secret is wiped as soon as the code exists.
std::string codeAt(Bytes secret, Date now, const OTPParameters& parameters) {
    std::string code = HOTP::code(secret, TOTP::counter(now, parameters.period()), parameters);
    Crypto::wipe(secret);
    return code;
}

} // namespace

QCoro::Task<Result<void, CodeDeliveryFlowError>> run(Account account, Date now,
                                                     CodeDelivery& delivery,
                                                     AccountStore& accountStore,
                                                     SecretStore& secretStore) {
    auto secret = secretStore.read(account.id);
    if (!secret) {
        co_return fail(CodeDeliveryFlowError::secrets(secret.error()));
    }
    std::string code = codeAt(std::move(*secret), now, account.parameters);
    if (code.empty()) {
        co_return fail(CodeDeliveryFlowError::secrets(SecretStoreError::invalidData()));
    }
    QCoro::Task<Result<void, DeliveryError>> delivering = delivery.deliver(std::move(code));
    const auto delivered = co_await delivering;
    if (!delivered) {
        co_return fail(CodeDeliveryFlowError::delivery(delivered.error()));
    }
    // Off the main thread: saving waits for the other changes of the list and flushes to disk.
    // A delivered code stays delivered even when the use cannot be saved.
    QFuture<void> recording = QtConcurrent::run([&accountStore, id = account.id, now] {
        (void)AccountFlows::recordUse(id, now, accountStore);
    });
    co_await recording;
    co_return Result<void, CodeDeliveryFlowError>{};
}

} // namespace zemlar::CodeDeliveryFlow
