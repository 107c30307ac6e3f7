// SPDX-License-Identifier: GPL-3.0-or-later
#include "BackupTesting.hpp"

#include <fstream>
#include <gtest/gtest.h>

namespace zemlar::testing {
namespace {

/// A computer with its passphrase set and one account, GitHub · ann.
class InboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(BackupFlows::setUp(testPassphrase, testSalt(), testIterations, mac.keys));
        mac.add("GitHub", "ann", bytesOf("github-secret"), 1);
    }

    Result<InboxImportReport, InboxImportError> run(const Bytes& inbox,
                                                    BackupKeyStore* keys = nullptr) {
        return InboxImportFlow::run(inbox, mac.accounts, mac.groups, mac.secrets,
                                    keys ? *keys : mac.keys, taken);
    }
    void drop(const Bytes& inbox) {
        std::filesystem::create_directories(mac.files.directory);
        std::ofstream(mac.files.directory / "inbox.zemlar", std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(inbox.data()),
                   static_cast<std::streamsize>(inbox.size()));
    }
    InboxCheckOutcome check(const std::optional<std::string>& lastHash,
                            const std::optional<FileStamp>& failedStamp = std::nullopt,
                            BackupKeyStore* keys = nullptr) {
        return InboxImportFlow::importInbox(lastHash, mac.files, mac.accounts, mac.groups,
                                            mac.secrets, keys ? *keys : mac.keys, taken,
                                            failedStamp);
    }
    std::size_t accountCount() { return mac.accounts.load().value().size(); }

    Computer mac;
    MemoryTakenStore taken;
};

TEST_F(InboxTest, takesNewAccountsOnceKeepsKnownGroupsAndRemembersEveryIdentifier) {
    ASSERT_TRUE(mac.groups.save({{uuidNumber(70), "Work"}}));
    auto bob = backupAccount(11, "GitHub", "bob", bytesOf("github-secret"));
    bob.groupID = uuidNumber(71); // the phone's own group: dropped
    auto mail = backupAccount(12, "Mail", "ann", bytesOf("mail-secret"));
    mail.groupID = uuidNumber(70);
    const Bytes inbox =
        sealedFile(payloadOf({backupAccount(1, "GitHub", "ann", bytesOf("github-secret")), bob,
                              mail, backupAccount(13, "Shop", "", bytesOf("shop-secret"))},
                             {{uuidNumber(71), "Phone group"}}));
    taken.ids = {uuidNumber(13)};
    const auto report = run(inbox);
    ASSERT_TRUE(report);
    EXPECT_EQ(*report, (InboxImportReport{{"GitHub · bob", "Mail · ann"}, 2}));
    const auto accounts = mac.accounts.load().value();
    ASSERT_EQ(accounts.size(), 3U);
    EXPECT_EQ(accounts[1].groupID, std::nullopt);
    EXPECT_EQ(accounts[2].groupID, uuidNumber(70));
    EXPECT_EQ(mac.groups.load().value().size(), 1U);
    EXPECT_EQ(taken.ids,
              (std::set<UUID>{uuidNumber(1), uuidNumber(11), uuidNumber(12), uuidNumber(13)}));

    // Again, and after the user deleted one of them: nothing comes back.
    ASSERT_TRUE(AccountFlows::remove(uuidNumber(12), mac.accounts, mac.secrets));
    EXPECT_EQ(run(inbox), (InboxImportReport{{}, 4}));
    EXPECT_EQ(accountCount(), 2U);
}

TEST_F(InboxTest, needsTheBackupCredentialsAndRefusesDamageOrAStaleKeyChangingNothing) {
    const auto file = [](const Bytes& salt, std::int64_t iterations) {
        return sealedFile(payloadOf({backupAccount(30, "A", "", bytesOf("a"))}), salt, iterations);
    };
    const Bytes inbox = file(testSalt(), testIterations);
    EXPECT_EQ(run(file(Bytes(16, 0x11), testIterations)), fail(InboxImportError::staleKey()));
    EXPECT_EQ(run(file(testSalt(), testIterations + 1)), fail(InboxImportError::staleKey()));
    EXPECT_EQ(run(Bytes(inbox.begin(), inbox.begin() + 60)),
              fail(InboxImportError::codec(BackupError::malformed())));
    MapBackupKeyStore keys;
    EXPECT_EQ(run(inbox, &keys), fail(InboxImportError::notConfigured()));
    keys.failLoad = true;
    EXPECT_EQ(run(inbox, &keys), fail(InboxImportError::keyStore(SecretStoreError::keychain(-5))));
    EXPECT_EQ(taken.sets, 0);
    EXPECT_EQ(accountCount(), 1U);
}

TEST_F(InboxTest, aStoredIdenticalSecretIsReusedADifferentOneRefusedAndAFailedSaveUndoesTheRest) {
    ASSERT_TRUE(mac.secrets.add(bytesOf("same"), uuidNumber(40)));
    ASSERT_TRUE(mac.secrets.add(bytesOf("mine"), uuidNumber(41)));
    const Bytes inbox = sealedFile(payloadOf({backupAccount(40, "Same", "", bytesOf("same")),
                                              backupAccount(41, "Other", "", bytesOf("theirs")),
                                              backupAccount(42, "New", "", bytesOf("new"))}));
    FaultyAccountStore failing(mac.accounts);
    failing.failSave = 1;
    EXPECT_EQ(InboxImportFlow::run(inbox, failing, mac.groups, mac.secrets, mac.keys, taken),
              fail(InboxImportError::accounts(AccountStoreError::writeFailed())));
    EXPECT_EQ(mac.secrets.read(uuidNumber(40)), bytesOf("same"));
    EXPECT_EQ(mac.secrets.read(uuidNumber(42)), fail(SecretStoreError::notFound()));
    EXPECT_EQ(taken.sets, 0);

    EXPECT_EQ(run(inbox), (InboxImportReport{{"Same", "New"}, 1}));
    EXPECT_EQ(mac.secrets.read(uuidNumber(41)), bytesOf("mine"));
}

TEST_F(InboxTest, aSecretStoreFailureTakesNothing) {
    const Bytes inbox = sealedFile(payloadOf({backupAccount(50, "First", "", bytesOf("f")),
                                              backupAccount(51, "Second", "", bytesOf("s"))}));
    MapSecretStore keychain;
    keychain.failAdd = 2;
    EXPECT_EQ(InboxImportFlow::run(inbox, mac.accounts, mac.groups, keychain, mac.keys, taken),
              fail(InboxImportError::secrets(SecretStoreError::keychain(-1))));
    EXPECT_TRUE(keychain.secrets.empty());
    EXPECT_EQ(taken.sets, 0);
    EXPECT_EQ(accountCount(), 1U);
}

TEST_F(InboxTest, aFileThatFailedByItsOwnFaultIsNotReadAgainUntilItChanges) {
    drop(bytesOf("not a backup"));
    const InboxCheckOutcome failed = check(std::nullopt);
    ASSERT_EQ(failed.kind(), InboxCheckOutcome::Kind::failed);
    EXPECT_EQ(failed.error(), InboxImportError::codec(BackupError::malformed()));
    ASSERT_TRUE(failed.failedStamp());
    EXPECT_EQ(check(std::nullopt, failed.failedStamp()), InboxCheckOutcome::unchanged());
    drop(bytesOf("still not a backup"));
    EXPECT_EQ(check(std::nullopt, failed.failedStamp()).kind(), InboxCheckOutcome::Kind::failed);
    // A failure of this computer, not of the file, is tried again at every check.
    MapBackupKeyStore noKeys;
    EXPECT_EQ(check(std::nullopt, std::nullopt, &noKeys),
              InboxCheckOutcome::failed(InboxImportError::notConfigured()));
}

} // namespace
} // namespace zemlar::testing
