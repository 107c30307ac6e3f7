// SPDX-License-Identifier: GPL-3.0-or-later
#include "../ZemlarKitTests/StoreDoubles.hpp"
#include "X11TestSupport.hpp"

using namespace zemlar;
using namespace zemlar::testing;
using namespace std::chrono_literals;

namespace {

struct CodeDeliveryFlowX11Test : X11Test {
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped()) {
            return;
        }
        ASSERT_EQ(std::system("setxkbmap -layout us"), 0);
        ASSERT_TRUE(files.save(Accounts{account}));
    }

    Result<void, CodeDeliveryFlowError> run() {
        return QCoro::waitFor(CodeDeliveryFlow::run(account, now, typing, accounts, secrets));
    }

    ScratchFolder scratch;
    FileAccountStore files{scratch.path / "Zemlar" / "accounts.json"};
    FaultyAccountStore accounts{files};
    MapSecretStore secrets;
    TypingDelivery typing{10ms, true};
    Account account = OTPAuthEntry("Example", "alice", Bytes{}, OTPParameters::standard())
                          .account(uuidNumber(7), Date(100.0));
    Date now = Date(1111111109.0);
};

} // namespace

TEST_F(CodeDeliveryFlowX11Test, TypesTheCodeOfTheMomentAndRecordsTheUse) {
    secrets.secrets[account.id] = bytesOf("12345678901234567890");
    TestTextField field;
    ASSERT_TRUE(run().has_value());
    ASSERT_TRUE(field.waitForKeys(7));
    EXPECT_EQ(field.text(), "081804\n");
    EXPECT_EQ(files.load().value().at(0).useCount, 1);
}

TEST_F(CodeDeliveryFlowX11Test, AnUnreadableSecretTypesAndRecordsNothing) {
    TestTextField field;
    EXPECT_EQ(run(), fail(CodeDeliveryFlowError::secrets(SecretStoreError::notFound())));
    runEventLoop(100ms);
    EXPECT_EQ(field.text(), "");
    EXPECT_EQ(accounts.saves, 0);
    EXPECT_EQ(files.load().value(), Accounts{account});
}
