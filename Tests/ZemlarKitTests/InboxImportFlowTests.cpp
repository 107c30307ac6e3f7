// SPDX-License-Identifier: GPL-3.0-or-later
#include "BackupTesting.hpp"
#include "SettingsTesting.hpp"

#include <fstream>
#include <gtest/gtest.h>

namespace zemlar::testing {
namespace {

/// The taken identifiers in memory.
struct MemoryTakenStore : InboxTakenStore {
    std::set<UUID> taken() override { return ids; }
    void set(const std::set<UUID>& newIDs) override {
        ++sets;
        ids = newIDs;
    }
    std::set<UUID> ids;
    int sets = 0;
};

/// A computer with its passphrase set and one account, GitHub · ann.
class InboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(BackupFlows::setUp(testPassphrase, testSalt(), testIterations, mac.keys));
        mac.add("GitHub", "ann", bytesOf("github-secret"), 1);
    }

    Result<InboxImportReport, InboxImportError> run(const Bytes& inbox) {
        return InboxImportFlow::run(inbox, mac.accounts, mac.groups, mac.secrets, mac.keys, taken);
    }

    Computer mac;
    MemoryTakenStore taken;
};

TEST_F(InboxTest, takesNewAccountsOnceAndRemembersEveryIdentifier) {
    const Bytes inbox = sealedFile(payloadOf({
        backupAccount(1, "GitHub", "ann", bytesOf("github-secret")),  // present by identifier
        backupAccount(10, "GitHub", "ann", bytesOf("github-secret")), // identical account
        backupAccount(11, "GitHub", "bob", bytesOf("github-secret")), // another name: added
        backupAccount(12, "Mail", "ann", bytesOf("mail-secret")),     // added
        backupAccount(12, "Mail again", "ann", bytesOf("other")),     // repeated identifier
        backupAccount(13, "Shop", "", bytesOf("shop-secret")),        // taken before
    }));
    taken.ids = {uuidNumber(13)};
    const auto report = run(inbox);
    ASSERT_TRUE(report);
    EXPECT_EQ(*report, (InboxImportReport{{"GitHub · bob", "Mail · ann"}, 3}));
    const auto accounts = mac.accounts.load().value();
    ASSERT_EQ(accounts.size(), 3U);
    EXPECT_EQ(accounts[2].id, uuidNumber(12));
    EXPECT_EQ(mac.secrets.read(uuidNumber(12)), bytesOf("mail-secret"));
    EXPECT_EQ(taken.ids, (std::set<UUID>{uuidNumber(1), uuidNumber(10), uuidNumber(11),
                                         uuidNumber(12), uuidNumber(13)}));

    // Again, and after the user deleted one of them: nothing comes back.
    ASSERT_TRUE(AccountFlows::remove(uuidNumber(12), mac.accounts, mac.secrets));
    const auto again = run(inbox);
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, (InboxImportReport{{}, 5}));
    EXPECT_EQ(mac.accounts.load().value().size(), 2U);
}

TEST_F(InboxTest, anUnknownGroupIsDroppedAndAKnownOneKept) {
    ASSERT_TRUE(mac.groups.save({{uuidNumber(70), "Work"}}));
    auto known = backupAccount(21, "Known", "", bytesOf("k"));
    known.groupID = uuidNumber(70);
    auto unknown = backupAccount(22, "Unknown", "", bytesOf("u"));
    unknown.groupID = uuidNumber(71);
    ASSERT_TRUE(run(sealedFile(payloadOf({known, unknown}, {{uuidNumber(71), "Phone group"}}))));
    const auto accounts = mac.accounts.load().value();
    EXPECT_EQ(accounts[1].groupID, uuidNumber(70));
    EXPECT_EQ(accounts[2].groupID, std::nullopt);
    EXPECT_EQ(mac.groups.load().value().size(), 1U);
}

TEST_F(InboxTest, needsTheBackupCredentialsAndRefusesAStaleKeyBeforeAnyDecryption) {
    const auto file = [](const Bytes& salt, std::int64_t iterations) {
        return sealedFile(payloadOf({backupAccount(30, "A", "", bytesOf("a"))}), salt, iterations);
    };
    EXPECT_EQ(run(file(Bytes(16, 0x11), testIterations)), fail(InboxImportError::staleKey()));
    EXPECT_EQ(run(file(testSalt(), testIterations + 1)), fail(InboxImportError::staleKey()));
    MapBackupKeyStore keys;
    EXPECT_EQ(InboxImportFlow::run(file(testSalt(), testIterations), mac.accounts, mac.groups,
                                   mac.secrets, keys, taken),
              fail(InboxImportError::notConfigured()));
    keys.failLoad = true;
    EXPECT_EQ(InboxImportFlow::run(file(testSalt(), testIterations), mac.accounts, mac.groups,
                                   mac.secrets, keys, taken),
              fail(InboxImportError::keyStore(SecretStoreError::keychain(-5))));
    EXPECT_EQ(taken.sets, 0);
    EXPECT_EQ(mac.accounts.load().value().size(), 1U);
}

TEST_F(InboxTest, damagedFilesChangeNothing) {
    const Bytes inbox = sealedFile(payloadOf({backupAccount(30, "A", "", bytesOf("a"))}));
    std::string text = textOf(inbox);
    const auto version = text.rfind("\"version\": 1");
    text.replace(version, 12, "\"version\": 2");
    EXPECT_EQ(run(bytesOf(text)),
              fail(InboxImportError::codec(BackupError::unsupportedVersion(2))));
    EXPECT_EQ(run(Bytes(inbox.begin(), inbox.begin() + 60)),
              fail(InboxImportError::codec(BackupError::malformed())));
    std::string tampered = textOf(inbox);
    const auto sealed = tampered.find("\"sealed\": \"") + 20;
    tampered[sealed] = tampered[sealed] == 'A' ? 'B' : 'A';
    EXPECT_EQ(run(bytesOf(tampered)),
              fail(InboxImportError::codec(BackupError::authenticationFailed())));
    EXPECT_EQ(taken.sets, 0);
    EXPECT_EQ(mac.accounts.load().value().size(), 1U);
}

TEST_F(InboxTest, aStoredIdenticalSecretIsReusedAndADifferentOneRefused) {
    ASSERT_TRUE(mac.secrets.add(bytesOf("same"), uuidNumber(40)));
    ASSERT_TRUE(mac.secrets.add(bytesOf("mine"), uuidNumber(41)));
    const auto report =
        run(sealedFile(payloadOf({backupAccount(40, "Same", "", bytesOf("same")),
                                  backupAccount(41, "Other", "", bytesOf("theirs"))})));
    ASSERT_TRUE(report);
    EXPECT_EQ(*report, (InboxImportReport{{"Same"}, 1}));
    EXPECT_EQ(mac.secrets.read(uuidNumber(41)), bytesOf("mine"));
}

TEST_F(InboxTest, aFailedSaveRemovesOnlyTheAddedSecretsAndKeepsTheTakenSet) {
    ASSERT_TRUE(mac.secrets.add(bytesOf("same"), uuidNumber(40)));
    FaultyAccountStore failing(mac.accounts);
    failing.failSave = 1;
    const Bytes inbox = sealedFile(payloadOf({backupAccount(40, "Same", "", bytesOf("same")),
                                              backupAccount(42, "New", "", bytesOf("new"))}));
    EXPECT_EQ(InboxImportFlow::run(inbox, failing, mac.groups, mac.secrets, mac.keys, taken),
              fail(InboxImportError::accounts(AccountStoreError::writeFailed())));
    EXPECT_EQ(mac.secrets.read(uuidNumber(40)), bytesOf("same"));
    EXPECT_EQ(mac.secrets.read(uuidNumber(42)), fail(SecretStoreError::notFound()));
    EXPECT_EQ(taken.sets, 0);
}

TEST_F(InboxTest, aSecretStoreFailureTakesNothingSoTheAccountsArriveAtTheNextCheck) {
    const Bytes inbox = sealedFile(payloadOf({backupAccount(50, "First", "", bytesOf("f")),
                                              backupAccount(51, "Second", "", bytesOf("s"))}));
    MapSecretStore keychain;
    keychain.failAdd = 2;
    EXPECT_EQ(InboxImportFlow::run(inbox, mac.accounts, mac.groups, keychain, mac.keys, taken),
              fail(InboxImportError::secrets(SecretStoreError::keychain(-1))));
    EXPECT_TRUE(keychain.secrets.empty());
    EXPECT_EQ(taken.sets, 0);
    EXPECT_EQ(mac.accounts.load().value().size(), 1U);

    keychain.failAdd.reset();
    const auto report =
        InboxImportFlow::run(inbox, mac.accounts, mac.groups, keychain, mac.keys, taken);
    ASSERT_TRUE(report);
    EXPECT_EQ(*report, (InboxImportReport{{"First", "Second"}, 0}));
    EXPECT_EQ(keychain.secrets.at(uuidNumber(51)), bytesOf("s"));
}

TEST_F(InboxTest, aFileThatFailedByItsOwnFaultIsNotReadAgainUntilItChanges) {
    std::filesystem::create_directories(mac.files.directory);
    const auto drop = [&](std::string_view text) {
        std::ofstream(mac.files.directory / "inbox.zemlar", std::ios::trunc) << text;
    };
    const auto check = [&](const std::optional<FileStamp>& failedStamp) {
        return InboxImportFlow::importInbox(std::nullopt, mac.files, mac.accounts, mac.groups,
                                            mac.secrets, mac.keys, taken, failedStamp);
    };
    drop("not a backup");
    const InboxCheckOutcome failed = check(std::nullopt);
    ASSERT_EQ(failed.kind(), InboxCheckOutcome::Kind::failed);
    EXPECT_EQ(failed.error(), InboxImportError::codec(BackupError::malformed()));
    ASSERT_TRUE(failed.failedStamp());
    EXPECT_EQ(check(failed.failedStamp()), InboxCheckOutcome::unchanged());

    drop("still not a backup");
    EXPECT_EQ(check(failed.failedStamp()).kind(), InboxCheckOutcome::Kind::failed);
    // A failure of this computer, not of the file, is tried again at every check.
    MapBackupKeyStore noKeys;
    EXPECT_EQ(InboxImportFlow::importInbox(std::nullopt, mac.files, mac.accounts, mac.groups,
                                           mac.secrets, noKeys, taken, std::nullopt),
              InboxCheckOutcome::failed(InboxImportError::notConfigured()));
}

TEST_F(InboxTest, theCheckSkipsAFileItHasProcessed) {
    InboxCheckOutcome outcome = InboxImportFlow::importInbox(
        std::nullopt, mac.files, mac.accounts, mac.groups, mac.secrets, mac.keys, taken);
    EXPECT_EQ(outcome, InboxCheckOutcome::unchanged());

    const Bytes inbox = sealedFile(payloadOf({backupAccount(60, "Phone", "", bytesOf("p"))}));
    std::filesystem::create_directories(mac.files.directory);
    std::ofstream(mac.files.directory / "inbox.zemlar", std::ios::binary)
        .write(reinterpret_cast<const char*>(inbox.data()),
               static_cast<std::streamsize>(inbox.size()));
    const std::string hash = InboxImportFlow::sha256Hex(inbox);
    ASSERT_EQ(hash.size(), 64U);
    outcome = InboxImportFlow::importInbox(std::string("old"), mac.files, mac.accounts, mac.groups,
                                           mac.secrets, mac.keys, taken);
    EXPECT_EQ(outcome, InboxCheckOutcome::imported(InboxImportReport{{"Phone"}, 0}, hash));

    MapBackupKeyStore noKeys; // would fail with notConfigured if the file were opened again
    outcome = InboxImportFlow::importInbox(hash, mac.files, mac.accounts, mac.groups, mac.secrets,
                                           noKeys, taken);
    EXPECT_EQ(outcome, InboxCheckOutcome::unchanged());
    outcome = InboxImportFlow::importInbox(std::nullopt, mac.files, mac.accounts, mac.groups,
                                           mac.secrets, noKeys, taken);
    EXPECT_EQ(outcome, InboxCheckOutcome::failed(InboxImportError::notConfigured()));
}

TEST(InboxHash, isTheLowerCaseSHA256) {
    EXPECT_EQ(InboxImportFlow::sha256Hex(bytesOf("abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(UserDefaultsInboxTakenStore, keepsSortedUpperCaseTextsAndDropsOthers) {
    const ScratchSettings scratch;
    UserDefaultsInboxTakenStore store;
    EXPECT_EQ(store.taken(), std::set<UUID>{});
    store.set({uuidNumber(2), uuidNumber(1)});
    const QStringList stored =
        ScratchSettings::settings().value("inboxTakenAccounts").toStringList();
    EXPECT_EQ(stored, (QStringList{QString::fromStdString(uuidNumber(1).uuidString()),
                                   QString::fromStdString(uuidNumber(2).uuidString())}));
    ScratchSettings::settings().setValue(
        "inboxTakenAccounts",
        QStringList{"not an id", QString::fromStdString(uuidNumber(3).uuidString()).toLower()});
    EXPECT_EQ(store.taken(), std::set<UUID>{uuidNumber(3)});
}

} // namespace
} // namespace zemlar::testing
