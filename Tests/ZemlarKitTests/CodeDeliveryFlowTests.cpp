// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTestSupport.hpp"
#include "StoreDoubles.hpp"

#include <QCoroTask>
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

struct CodeDeliveryFlowFixture : ::testing::Test {
    void SetUp() override {
        ensureCoreApplication();
        secrets.secrets[account.id] = bytesOf("12345678901234567890");
        ASSERT_TRUE(files.save(Accounts{account}));
    }

    Result<void, CodeDeliveryFlowError> run() {
        return QCoro::waitFor(CodeDeliveryFlow::run(account, now, delivery, accounts, secrets));
    }
    Account stored() { return files.load().value().at(0); }

    ScratchFolder scratch;
    FileAccountStore files{scratch.path / "Zemlar" / "accounts.json"};
    FaultyAccountStore accounts{files};
    MapSecretStore secrets;
    RecordingDelivery delivery;
    Account account = OTPAuthEntry("Example", "alice", Bytes{}, OTPParameters::standard())
                          .account(uuidNumber(1), Date(100.0));
    // RFC 6238's moment whose 6-digit SHA-1 code starts with a zero.
    Date now = Date(1111111109.0);
};

} // namespace

TEST_F(CodeDeliveryFlowFixture, DeliversTheCodeOfTheMomentAndRecordsTheUse) {
    ASSERT_TRUE(run().has_value());
    EXPECT_EQ(delivery.delivered, std::vector<std::string>{"081804"});
    const Account used = stored();
    EXPECT_EQ(used.useCount, account.useCount + 1);
    EXPECT_EQ(used.lastUsedAt, now);
    EXPECT_NE(accounts.saveThread, std::this_thread::get_id()) << "saved on the main thread";
}

TEST_F(CodeDeliveryFlowFixture, AnUnreadableSecretOrAFailedDeliveryRecordsNoUse) {
    secrets.failRead = true;
    EXPECT_EQ(run(), fail(CodeDeliveryFlowError::secrets(SecretStoreError::keychain(-2))));
    EXPECT_TRUE(delivery.delivered.empty());
    secrets.failRead = false;
    secrets.secrets.clear();
    EXPECT_EQ(run(), fail(CodeDeliveryFlowError::secrets(SecretStoreError::notFound())));
    EXPECT_TRUE(delivery.delivered.empty());

    secrets.secrets[account.id] = bytesOf("12345678901234567890");
    delivery.failure = DeliveryError::invalidCode();
    EXPECT_EQ(run(), fail(CodeDeliveryFlowError::delivery(DeliveryError::invalidCode())));
    EXPECT_EQ(delivery.delivered.size(), 1u);
    EXPECT_EQ(accounts.saves, 0);
    EXPECT_EQ(stored(), account);
}

TEST_F(CodeDeliveryFlowFixture, AListThatCannotBeSavedDoesNotFailTheDelivery) {
    accounts.failSave = 1;
    EXPECT_TRUE(run().has_value());
    EXPECT_EQ(delivery.delivered.size(), 1u);
    EXPECT_EQ(accounts.saves, 1);
    EXPECT_EQ(stored(), account);
}
