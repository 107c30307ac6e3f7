// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/CodeDeliveryFlow.hpp"

#include "ZemlarKit/AccountFlows.hpp"
#include "ZemlarKit/PreciseTimer.hpp"

#include <OTPCore/Crypto.hpp>
#include <OTPCore/FreshCode.hpp>
#include <OTPCore/HOTP.hpp>
#include <OTPCore/TOTP.hpp>
#include <QtConcurrent/QtConcurrentRun>
#include <chrono>
#include <memory>
#include <qcoro/qcorofuture.h>

namespace zemlar::CodeDeliveryFlow {

namespace {

using SecretRead = Result<Bytes, SecretStoreError>;

/// Reads the secret on the thread pool: the keyring may take its time, or ask to be unlocked.
/// The secret comes back through a slot of our own, so no copy stays in the future's storage.
QCoro::Task<SecretRead> readSecret(SecretStore& secretStore, UUID id) {
    auto slot = std::make_shared<std::optional<SecretRead>>();
    QFuture<void> reading =
        QtConcurrent::run([&secretStore, id, slot] { slot->emplace(secretStore.read(id)); });
    co_await reading;
    co_return std::move(**slot);
}

/// The moment the code is computed for: now, or once the code of the moment has the fresh-code
/// minimum of life. Checked again after every wait, so a timer or a clock that runs a little
/// apart from the other never lets the expiring code through.
QCoro::Task<Date> freshMoment(const Clock& clock, std::int64_t period) {
    for (;;) {
        const Date now = clock();
        const double delay = FreshCode::delay(now, period);
        if (delay <= 0) {
            co_return now;
        }
        auto waiting = PreciseTimer::sleepFor(std::chrono::duration<double>(delay));
        co_await waiting;
    }
}

} // namespace

QCoro::Task<Result<void, CodeDeliveryFlowError>> run(Account account, Clock clock,
                                                     CodeDelivery& delivery,
                                                     AccountStore& accountStore,
                                                     SecretStore& secretStore) {
    auto reading = readSecret(secretStore, account.id);
    auto read = co_await reading;
    if (!read) {
        co_return fail(CodeDeliveryFlowError::secrets(read.error()));
    }
    const Crypto::WipedBytes secret(std::move(*read));
    const OTPParameters& parameters = account.parameters;
    auto waiting = freshMoment(clock, parameters.period());
    const Date now = co_await waiting;
    std::string code =
        HOTP::code(secret.value(), TOTP::counter(now, parameters.period()), parameters);
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
