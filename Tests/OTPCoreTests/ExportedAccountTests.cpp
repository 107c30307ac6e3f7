// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/ExportedAccount.hpp>
#include <OTPCore/OTPAuthURI.hpp>
#include <gtest/gtest.h>

using namespace zemlar;

namespace {

ExportedAccount exported(std::string type, std::string issuer, std::string name,
                         std::string secret) {
    ExportedAccount account;
    account.type = std::move(type);
    account.issuer = std::move(issuer);
    account.name = std::move(name);
    account.secret = std::move(secret);
    return account;
}

} // namespace

TEST(ExportedAccounts, BecomeTheEntryTheirLinkWouldGive) {
    auto account = exported("TOTP", "Ac me: & Co", "alice@example.com?x=1#y", "JBSWY3DPEHPK3PXP");
    account.algorithm = "sha256";
    account.digits = "8";
    account.period = "60";
    account.group = "Work";
    ImportBatch batch;
    ExportedAccounts::add(batch, account);

    auto expected =
        OTPAuthURI::parse("otpauth://totp/Ac%20me%3A%20%26%20Co:alice%40example.com%3Fx%3D1%23y"
                          "?secret=JBSWY3DPEHPK3PXP&issuer=Ac%20me%3A%20%26%20Co"
                          "&algorithm=SHA256&digits=8&period=60");
    ASSERT_TRUE(expected);
    expected->group = "Work";
    ASSERT_EQ(batch.entries.size(), 1U);
    EXPECT_EQ(batch.entries[0], *expected);
    EXPECT_TRUE(batch.skipped.empty());
}

TEST(ExportedAccounts, AreSkippedWithTheReasonTheirLinkWouldGet) {
    ImportBatch batch;
    ExportedAccounts::add(batch, exported("hotp", "Issuu", "James", "JBSWY3DPEHPK3PXP"));
    ExportedAccounts::add(batch, exported("steam", "Boeing", "", "JBSWY3DPEHPK3PXP"));
    ExportedAccounts::add(batch, exported("totp", "", "bad", "not base32!"));
    auto badDigits = exported("totp", "X", "Y", "JBSWY3DPEHPK3PXP");
    badDigits.digits = "12";
    ExportedAccounts::add(batch, badDigits);

    EXPECT_TRUE(batch.entries.empty());
    EXPECT_EQ(batch.skipped,
              (std::vector<ImportSkip>{{"Issuu · James", ImportSkipReason::hotp},
                                       {"Boeing", ImportSkipReason::unsupportedType},
                                       {"bad", ImportSkipReason::invalid},
                                       {"X · Y", ImportSkipReason::invalidParameters}}));
}
