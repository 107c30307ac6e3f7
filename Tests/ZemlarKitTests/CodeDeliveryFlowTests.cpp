// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTestSupport.hpp"
#include "StoreDoubles.hpp"

#include <QCoroTask>
#include <chrono>
#include <gtest/gtest.h>
#include <optional>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

/// A delivery method that records what it was given and answers as told.
class RecordingDelivery final : public CodeDelivery {
public:
    Result<void, DeliveryError> prepare() override { return {}; }
    QCoro::Task<Result<void, DeliveryError>> deliver(std::string code) override {
        delivered.push_back(code);
        if (failure) {
            co_return fail(*failure);
        }
        co_return Result<void, DeliveryError>{};
    }

    std::vector<std::string> delivered;
    std::optional<DeliveryError> failure;
};

/// The real clock, set so that it reads `moment` now.
CodeDeliveryFlow::Clock realClockReading(double moment) {
    const auto realNow = [] {
        return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    };
    const double offset = moment - realNow();
    return [realNow, offset] { return Date(realNow() + offset); };
}

struct CodeDeliveryFlowFixture : ::testing::Test {
    void SetUp() override {
        ensureCoreApplication();
        secrets.secrets[account.id] = bytesOf("12345678901234567890");
        ASSERT_TRUE(files.save(Accounts{account}));
    }

    Result<void, CodeDeliveryFlowError> run() {
        // An RFC 6238 moment at the start of a period, whose 6-digit SHA-1 code starts with zeros.
        return QCoro::waitFor(CodeDeliveryFlow::run(
            account, [] { return Date(1234567890.0); }, delivery, accounts, secrets));
    }
    Account stored() { return files.load().value().at(0); }

    ScratchFolder scratch;
    FileAccountStore files{scratch.path / "Zemlar" / "accounts.json"};
    FaultyAccountStore accounts{files};
    MapSecretStore secrets;
    RecordingDelivery delivery;
    Account account = OTPAuthEntry("Example", "alice", Bytes{}, OTPParameters::standard())
                          .account(uuidNumber(1), Date(100.0));
};

} // namespace

TEST_F(CodeDeliveryFlowFixture, DeliversTheCodeOfTheMomentAndRecordsTheUseOffTheMainThread) {
    ASSERT_TRUE(run().has_value());
    EXPECT_EQ(delivery.delivered, std::vector<std::string>{"005924"});
    EXPECT_EQ(stored().useCount, account.useCount + 1);
    EXPECT_NE(accounts.saveThread, std::this_thread::get_id());

    accounts.failSave = 2; // a list that cannot be saved does not fail the delivery
    EXPECT_TRUE(run().has_value());
}

TEST_F(CodeDeliveryFlowFixture, InThePeriodsLastSecondsTheNextPeriodsCodeIsHandedOver) {
    // RFC 6238: the period that starts at 1111111110 has the code (140)50471, the one before
    // (070)81804.
    const double turn = 1111111110.0;
    std::vector<QCoro::Task<Result<void, CodeDeliveryFlowError>>> runs;
    for (const double before : {3.0, 2.99, 1.5, 0.05}) {
        runs.push_back(CodeDeliveryFlow::run(account, realClockReading(turn - before), delivery,
                                             accounts, secrets));
    }
    for (auto& running : runs) {
        EXPECT_TRUE(QCoro::waitFor(std::move(running)).has_value());
    }
    EXPECT_EQ(delivery.delivered, std::vector<std::string>(runs.size(), "050471"));
}

TEST_F(CodeDeliveryFlowFixture, AnUnreadableSecretOrAFailedDeliveryRecordsNoUse) {
    secrets.failRead = true;
    EXPECT_EQ(run(), fail(CodeDeliveryFlowError::secrets(SecretStoreError::keychain(-2))));
    EXPECT_TRUE(delivery.delivered.empty());

    secrets.failRead = false;
    delivery.failure = DeliveryError::invalidCode();
    EXPECT_EQ(run(), fail(CodeDeliveryFlowError::delivery(DeliveryError::invalidCode())));
    EXPECT_EQ(accounts.saves, 0);
    EXPECT_EQ(stored(), account);
}
