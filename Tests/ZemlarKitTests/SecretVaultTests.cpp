// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreDoubles.hpp"
#include "VaultHammer.hpp"

#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

struct VaultFixture : ::testing::Test {
    InMemoryVaultStorage memory;
    FaultyVaultStorage* faulty = nullptr;
    std::shared_ptr<SecretVault> vault;
    VaultSecretStore secrets{nullptr};
    VaultRecoveryCodeStore recovery{nullptr};
    VaultBackupKeyStore keys{nullptr};

    void SetUp() override {
        auto storage = std::make_unique<FaultyVaultStorage>(memory);
        faulty = storage.get();
        vault = std::make_shared<SecretVault>(std::move(storage));
        secrets.vault = recovery.vault = keys.vault = vault;
    }

    std::string stored() const { return textOf(memory.document().value_or(Bytes{})); }
};

const UUID first = uuidNumber(1);
const UUID second = uuidNumber(2);

} // namespace

TEST_F(VaultFixture, ChangesThatChangeNothingWriteNothing) {
    const BackupCredentials credentials(Bytes(32, 7), Bytes(16, 3), 600000);
    ASSERT_TRUE(keys.save(credentials).has_value());
    ASSERT_TRUE(keys.save(credentials).has_value());
    EXPECT_EQ(memory.saveCount(), 1) << "an unchanged document is not written again";
}

TEST_F(VaultFixture, KeepsSecretsCodesAndCredentialsApart) {
    ASSERT_TRUE(secrets.add(bytesOf("one"), first).has_value());
    EXPECT_EQ(secrets.add(bytesOf("other"), first).error(), SecretStoreError::duplicate());
    ASSERT_TRUE(secrets.add(bytesOf("two"), second).has_value());
    ASSERT_TRUE(recovery.setCodes({"r1", "r2"}, first).has_value());
    ASSERT_TRUE(recovery.setCodes({"s1"}, second).has_value());
    ASSERT_TRUE(keys.save(BackupCredentials(Bytes{1}, Bytes{2}, 3)).has_value());

    ASSERT_TRUE(secrets.remove(first).has_value());
    EXPECT_EQ(secrets.allIDs().value(), std::vector<UUID>{second});
    EXPECT_EQ(recovery.codes(first).value(), std::vector<std::string>{}) << "gone with it";
    EXPECT_EQ(recovery.codes(second).value(), std::vector<std::string>{"s1"});
    ASSERT_TRUE(recovery.setCodes({}, second).has_value());
    EXPECT_EQ(vault->read().value().recovery, std::nullopt) << "the last codes take the member";
    ASSERT_TRUE(keys.clear().has_value());
    EXPECT_EQ(secrets.read(second).value(), bytesOf("two"));
}

TEST_F(VaultFixture, SkipsKeysThatAreNotIdentifiers) {
    ASSERT_TRUE(
        memory.create(bytesOf(R"({"version":1,"secrets":{"legacy":"eA==",")" + first.uuidString() +
                              R"(":"b25l"},"recovery":{"nope":["c"]}})")));
    EXPECT_EQ(secrets.allIDs().value(), std::vector<UUID>{first});
    EXPECT_EQ(secrets.readAll().value().size(), 1u);
    EXPECT_TRUE(recovery.readAll().value().empty());
}

TEST_F(VaultFixture, ACorruptedVaultFailsEveryOperationAndIsNeverOverwritten) {
    const std::string document = R"({"version":2,"secrets":{}})";
    ASSERT_TRUE(memory.create(bytesOf(document)));
    EXPECT_EQ(vault->read().error(), SecretStoreError::invalidData());
    EXPECT_EQ(secrets.add(bytesOf("x"), first).error(), SecretStoreError::invalidData());
    EXPECT_EQ(secrets.remove(first).error(), SecretStoreError::invalidData());
    EXPECT_EQ(recovery.setCodes({"c"}, first).error(), SecretStoreError::invalidData());
    EXPECT_EQ(keys.clear().error(), SecretStoreError::invalidData());
    EXPECT_EQ(stored(), document);
    EXPECT_EQ(memory.saveCount(), 1);
}

// A storage that fails to see its document (a keyring that looks empty while locked) must not
// lose it: only a first document is created, and creating never replaces one.
TEST_F(VaultFixture, AVaultThatLooksEmptyIsCreatedNeverReplaced) {
    ASSERT_TRUE(secrets.add(bytesOf("one"), first).has_value());
    faulty->hidden = true;
    EXPECT_EQ(secrets.add(bytesOf("two"), second).error(), SecretStoreError::duplicate());
    faulty->hidden = false;
    EXPECT_EQ(secrets.readAll().value(), (SecretMap{{first, bytesOf("one")}}));
}

TEST_F(VaultFixture, StorageAndChangeFailuresLeaveTheDocumentAlone) {
    ASSERT_TRUE(secrets.add(bytesOf("one"), first).has_value());
    const std::string before = stored();
    faulty->failSave = SecretStoreError::keychain(-67900);
    EXPECT_EQ(secrets.add(bytesOf("two"), second).error(), SecretStoreError::keychain(-67900));
    faulty->failSave.reset();
    faulty->failLoad = SecretStoreError::keychain(-67901);
    EXPECT_EQ(secrets.read(first).error(), SecretStoreError::keychain(-67901));
    EXPECT_EQ(secrets.remove(first).error(), SecretStoreError::keychain(-67901));
    faulty->failLoad.reset();

    const auto outcome =
        vault->update([](VaultContents& contents) -> Result<void, SecretStoreError> {
            contents.secrets.clear();
            return fail(SecretStoreError::notFound());
        });
    EXPECT_EQ(outcome.error(), SecretStoreError::notFound()) << "a failing change writes nothing";
    EXPECT_EQ(memory.saveCount(), 1);
    EXPECT_EQ(stored(), before);
}

TEST_F(VaultFixture, ConcurrentChangesFromEightThreadsLoseNothing) {
    hammer(*vault, 8, 200);
    expectHammered(*vault, 8, 200);
}
