// SPDX-License-Identifier: GPL-3.0-or-later
#include "../ZemlarKitTests/VaultHammer.hpp"
#include "KeyringTesting.hpp"

using namespace zemlar;
using namespace zemlar::testing;

namespace {

struct KeychainVaultTest : KeyringTest {
    void SetUp() override {
        KeyringTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        vaultService = service + ".vault";
        vault = std::make_shared<SecretVault>(std::make_unique<KeychainVaultStorage>(vaultService));
        secrets.vault = keys.vault = recovery.vault = vault;
    }

    std::string vaultService;
    std::shared_ptr<SecretVault> vault;
    VaultSecretStore secrets{nullptr};
    VaultBackupKeyStore keys{nullptr};
    VaultRecoveryCodeStore recovery{nullptr};
};

const UUID first = uuidNumber(1);
const UUID second = uuidNumber(2);

} // namespace

TEST_F(KeychainVaultTest, ChangesThatChangeNothingCreateNoItem) {
    EXPECT_EQ(vault->read().value(), VaultContents{});
    ASSERT_TRUE(secrets.remove(first).has_value());
    ASSERT_TRUE(keys.clear().has_value());
    EXPECT_EQ(KeychainItem::accounts(vaultService).value(), std::vector<std::string>{});
    ASSERT_TRUE(secrets.add(bytesOf("one"), first).has_value());
    EXPECT_EQ(KeychainItem::accounts(vaultService).value(), std::vector<std::string>{"secrets"});
    EXPECT_EQ(KeychainItem::read(vaultService, "secrets"), vault->read()->encoded());
}

// Every change is a round trip to the keyring daemon: a few threads contend enough.
TEST_F(KeychainVaultTest, ConcurrentChangesFromFourThreadsLoseNothing) {
    hammer(*vault, 4, 30);
    expectHammered(*vault, 4, 30);
}

namespace {

struct MigrationTest : KeychainVaultTest {
    void SetUp() override {
        KeychainVaultTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        legacySecrets = std::make_unique<KeychainSecretStore>(service);
        legacyKeys = std::make_unique<KeychainBackupKeyStore>(service + ".backup");
    }

    Result<VaultMigrationReport, SecretStoreError> migrate() {
        return VaultMigration::run(*legacySecrets, *legacyKeys, secrets, keys);
    }

    std::unique_ptr<KeychainSecretStore> legacySecrets;
    std::unique_ptr<KeychainBackupKeyStore> legacyKeys;
};

} // namespace

TEST_F(MigrationTest, LegacySecretStoreKeepsOneItemPerAccount) {
    ASSERT_TRUE(legacySecrets->add(bytesOf("a"), first));
    EXPECT_EQ(legacySecrets->add(bytesOf("b"), first).error(), SecretStoreError::duplicate());
    ASSERT_TRUE(legacySecrets->add(bytesOf("b"), second));
    ASSERT_TRUE(KeychainItem::add(service, "not-a-uuid", bytesOf("n")));
    auto ids = legacySecrets->allIDs().value();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<UUID>{first, second}));
    EXPECT_EQ(legacySecrets->readAll().value(),
              (SecretMap{{first, bytesOf("a")}, {second, bytesOf("b")}}));
    ASSERT_TRUE(legacySecrets->remove(first));
    EXPECT_EQ(legacySecrets->read(first).error(), SecretStoreError::notFound());
}

TEST_F(MigrationTest, LegacyBackupKeyStoreReadsAndClearsItsItem) {
    EXPECT_EQ(legacyKeys->load().value(), std::nullopt);
    const BackupCredentials credentials(Bytes{1, 255}, Bytes{0}, 600000);
    ASSERT_TRUE(legacyKeys->save(credentials));
    EXPECT_EQ(legacyKeys->load().value(), credentials);
    ASSERT_TRUE(KeychainItem::upsert(service + ".backup", "derived-key", bytesOf("{\"key\":1}")));
    EXPECT_EQ(legacyKeys->load().error(), SecretStoreError::invalidData());
    ASSERT_TRUE(legacyKeys->clear());
    ASSERT_TRUE(legacyKeys->clear());
    EXPECT_EQ(legacyKeys->load().value(), std::nullopt);
}

TEST_F(MigrationTest, MovesEveryOldItemIntoTheVaultAndRemovesIt) {
    ASSERT_TRUE(legacySecrets->add(bytesOf("a"), first));
    ASSERT_TRUE(legacySecrets->add(bytesOf("b"), second));
    ASSERT_TRUE(KeychainItem::add(service, "not-a-uuid", bytesOf("n")));
    ASSERT_TRUE(legacyKeys->save(BackupCredentials(Bytes{1}, Bytes{2}, 3)));

    EXPECT_EQ(migrate().value(), (VaultMigrationReport{2, true}));
    EXPECT_EQ(secrets.readAll().value(),
              (SecretMap{{first, bytesOf("a")}, {second, bytesOf("b")}}));
    EXPECT_EQ(keys.load().value(), BackupCredentials(Bytes{1}, Bytes{2}, 3));
    EXPECT_EQ(KeychainItem::accounts(service).value(), std::vector<std::string>{"not-a-uuid"});
    EXPECT_EQ(legacyKeys->load().value(), std::nullopt);
}
