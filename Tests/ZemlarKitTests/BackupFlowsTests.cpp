// SPDX-License-Identifier: GPL-3.0-or-later
#include "BackupTesting.hpp"

#include <gtest/gtest.h>

namespace zemlar::testing {
namespace {

constexpr Date exportTime{1'750'000'000};

Result<std::int64_t, BackupFlowError> exportFrom(Computer& computer, Date at = exportTime) {
    return BackupFlows::exportBackup(at, RandomBytes::generate(BackupCodec::nonceLength),
                                     computer.accounts, computer.groups, computer.secrets,
                                     computer.keys, computer.files, computer.recovery);
}

Result<RestoreReport, BackupFlowError> restoreOnto(Computer& computer, const Bytes& data,
                                                   std::string_view passphrase = testPassphrase) {
    return BackupFlows::restore(data, passphrase, computer.accounts, computer.groups,
                                computer.secrets, computer.keys, computer.recovery);
}

/// A computer with three accounts: one in the group "Work", one with recovery codes.
class BackupFlowsTest : public ::testing::Test {
protected:
    BackupFlowsTest()
        : github(source.add("GitHub", "ann", bytesOf("github-secret"), 1)),
          mail(source.add("Mail", "ann@example.com", bytesOf("mail-secret"), 2)),
          bank(source.add("Bank", "", bytesOf("bank-secret"), 3)) {}

    void SetUp() override {
        ASSERT_TRUE(source.groups.save({{uuidNumber(100), "Work"}}));
        ASSERT_TRUE(AccountFlows::setGroup(github.id, uuidNumber(100), source.accounts));
        ASSERT_TRUE(source.recovery.setCodes({"code-1", "code-2"}, mail.id));
    }

    Bytes exported() {
        EXPECT_TRUE(BackupFlows::setUp(testPassphrase, testSalt(), testIterations, source.keys));
        EXPECT_EQ(exportFrom(source), 3);
        return source.files.readLatest().value().value();
    }

    Computer source;
    Computer target;
    Account github, mail, bank;
};

TEST_F(BackupFlowsTest, exportNeedsAPassphraseAndEverySecret) {
    EXPECT_EQ(exportFrom(source), fail(BackupFlowError::notConfigured()));
    ASSERT_TRUE(BackupFlows::setUp(testPassphrase, testSalt(), testIterations, source.keys));
    ASSERT_TRUE(source.secrets.remove(mail.id));
    EXPECT_EQ(exportFrom(source), fail(BackupFlowError::secrets(SecretStoreError::notFound())));
    EXPECT_FALSE(std::filesystem::exists(source.files.directory));
    MapBackupKeyStore failing;
    failing.failSave = true;
    EXPECT_EQ(BackupFlows::setUp(testPassphrase, testSalt(), testIterations, failing),
              fail(BackupFlowError::keyStore(SecretStoreError::keychain(-6))));
}

TEST_F(BackupFlowsTest, restoreOntoAnEmptyComputerBringsEverythingBackOnce) {
    const Bytes file = exported();
    const auto report = restoreOnto(target, file);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->imported, 3);
    EXPECT_EQ(report->accounts, target.accounts.load().value());
    EXPECT_EQ(target.groups.load(), (Groups{{uuidNumber(100), "Work"}}));
    EXPECT_EQ(target.secrets.read(mail.id), bytesOf("mail-secret"));
    EXPECT_EQ(target.recovery.codes(mail.id), (std::vector<std::string>{"code-1", "code-2"}));
    EXPECT_EQ(target.keys.load().value(), source.keys.load().value());

    FaultyAccountStore counting(target.accounts);
    const auto again = BackupFlows::restore(file, testPassphrase, counting, target.groups,
                                            target.secrets, target.keys, target.recovery);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->imported, 0) << "restoring twice adds nothing the second time";
    EXPECT_EQ(counting.saves, 0);
}

TEST_F(BackupFlowsTest, aStoredSecretIsAdoptedOnlyWhenIdentical) {
    const Bytes file = exported();
    ASSERT_TRUE(target.secrets.add(bytesOf("github-secret"), github.id));
    ASSERT_TRUE(target.secrets.add(bytesOf("other-secret"), mail.id));
    const auto report = restoreOnto(target, file);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->imported, 2);
    EXPECT_EQ(report->failed, 1);
    ASSERT_EQ(report->accounts.size(), 2U);
    EXPECT_EQ(report->accounts[0].id, github.id);
    EXPECT_EQ(report->accounts[1].id, bank.id);
    EXPECT_EQ(target.secrets.read(mail.id), bytesOf("other-secret"));
}

TEST(BackupFlowsRestore, takesTheFirstOfRepeatedIdentifiersAndMatchesGroupsByName) {
    Computer computer;
    ASSERT_TRUE(computer.groups.save({{uuidNumber(70), "Work"}}));
    auto first = backupAccount(1, "First", "a", bytesOf("one"));
    first.groupID = uuidNumber(50); // in no group of the backup: dropped
    auto second = backupAccount(2, "Second", "b", bytesOf("two"));
    second.groupID = uuidNumber(80); // "work" stands for the stored "Work"
    const auto report = restoreOnto(
        computer,
        sealedFile(payloadOf({first, backupAccount(1, "Repeated", "b", bytesOf("x")), second},
                             {{uuidNumber(60), "Home"}, {uuidNumber(80), "work"}})));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->imported, 2);
    ASSERT_EQ(report->accounts.size(), 2U);
    EXPECT_EQ(report->accounts[0].issuer, "First");
    EXPECT_EQ(report->accounts[0].groupID, std::nullopt);
    EXPECT_EQ(report->accounts[1].groupID, uuidNumber(70));
    EXPECT_EQ(computer.groups.load(), (Groups{{uuidNumber(70), "Work"}, {uuidNumber(60), "Home"}}));
}

TEST_F(BackupFlowsTest, aFailedSaveRemovesOnlyTheSecretsItAdded) {
    const Bytes file = exported();
    FaultyGroupStore failingGroups(target.groups);
    failingGroups.failLoads = true;
    EXPECT_EQ(BackupFlows::restore(file, testPassphrase, target.accounts, failingGroups,
                                   target.secrets, target.keys, target.recovery),
              fail(BackupFlowError::accounts(AccountStoreError::readFailed())));
    EXPECT_EQ(target.secrets.readAll(), SecretMap{}) << "a failing group store stops first";

    ASSERT_TRUE(target.secrets.add(bytesOf("github-secret"), github.id)); // adopted
    FaultyAccountStore failing(target.accounts);
    failing.failSave = 1;
    EXPECT_EQ(BackupFlows::restore(file, testPassphrase, failing, target.groups, target.secrets,
                                   target.keys, target.recovery),
              fail(BackupFlowError::accounts(AccountStoreError::writeFailed())));
    EXPECT_EQ(target.secrets.readAll(), (SecretMap{{github.id, bytesOf("github-secret")}}));
    EXPECT_EQ(target.accounts.load(), Accounts{});
    EXPECT_EQ(target.keys.load().value(), std::nullopt);
}

TEST_F(BackupFlowsTest, storedCredentialsAndRecoveryCodesAreNeverReplaced) {
    ASSERT_TRUE(
        BackupFlows::setUp("another passphrase", Bytes(16, 1), testIterations, target.keys));
    const auto before = target.keys.load().value();
    // Mail is already present without codes; GitHub arrives new; Bank keeps its own codes.
    ASSERT_TRUE(target.recovery.setCodes({"mine"}, bank.id));
    ASSERT_TRUE(source.recovery.setCodes({"theirs"}, bank.id));
    ASSERT_TRUE(target.accounts.save({mail}));
    ASSERT_TRUE(target.secrets.add(bytesOf("mail-secret"), mail.id));
    const auto report = restoreOnto(target, exported());
    ASSERT_TRUE(report);
    EXPECT_EQ(report->alreadyPresent, 1);
    EXPECT_EQ(report->imported, 2);
    EXPECT_EQ(target.keys.load().value(), before);
    EXPECT_EQ(target.recovery.codes(mail.id), (std::vector<std::string>{"code-1", "code-2"}));
    EXPECT_EQ(target.recovery.codes(bank.id), std::vector<std::string>{"mine"});
}

TEST_F(BackupFlowsTest, verifyComparesTheLatestBackupUnderTheStoredKey) {
    const auto verify = [&] {
        return BackupFlows::verify(source.accounts, source.secrets, source.keys, source.files);
    };
    EXPECT_EQ(verify(), fail(BackupFlowError::notConfigured()));
    ASSERT_TRUE(BackupFlows::setUp(testPassphrase, testSalt(), testIterations, source.keys));
    EXPECT_EQ(verify(), fail(BackupFlowError::noBackup()));

    auto sixty = backupAccount(1, "GitHub", "ann", bytesOf("github-secret"));
    sixty.parameters = *OTPParameters::make(OTPAlgorithm::sha1, 6, 60);
    ASSERT_TRUE(source.files.write(
        sealedFile(
            payloadOf({sixty, backupAccount(2, "Mail", "ann@example.com", bytesOf("mail-secret")),
                       backupAccount(8, "Gone", "", bytesOf("x"))})),
        exportTime));
    const auto check = verify();
    ASSERT_TRUE(check);
    EXPECT_EQ(check->missing, std::vector<std::string>{"Bank"});
    EXPECT_EQ(check->mismatched, std::vector<std::string>{"GitHub · ann"});
    EXPECT_EQ(check->extra, 1);
}

} // namespace
} // namespace zemlar::testing
