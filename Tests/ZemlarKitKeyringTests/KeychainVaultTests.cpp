// SPDX-License-Identifier: GPL-3.0-or-later
#include "../ZemlarKitTests/VaultHammer.hpp"
#include "KeyringTesting.hpp"

using namespace zemlar;
using namespace zemlar::testing;

namespace {

/// The keychain vault storage, failing its saves on demand.
class BreakableKeychainStorage : public KeychainVaultStorage {
public:
    using KeychainVaultStorage::KeychainVaultStorage;
    Result<void, SecretStoreError> save(const Bytes& document) override {
        if (failSaves) {
            return fail(SecretStoreError::keychain(KeychainItem::statusServiceFailure));
        }
        return KeychainVaultStorage::save(document);
    }
    bool failSaves = false;
};

struct KeychainVaultTest : KeyringTest {
    void SetUp() override {
        KeyringTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        vaultService = service + ".vault";
        auto built = std::make_unique<BreakableKeychainStorage>(vaultService);
        storage = built.get();
        vault = std::make_shared<SecretVault>(std::move(built));
        secrets.vault = keys.vault = recovery.vault = vault;
    }

    std::string vaultService;
    BreakableKeychainStorage* storage = nullptr;
    std::shared_ptr<SecretVault> vault;
    VaultSecretStore secrets{nullptr};
    VaultBackupKeyStore keys{nullptr};
    VaultRecoveryCodeStore recovery{nullptr};
};

const UUID first = uuidNumber(1);
const UUID second = uuidNumber(2);
const UUID third = uuidNumber(3);

} // namespace

TEST_F(KeychainVaultTest, ChangesThatChangeNothingCreateNoItem) {
    EXPECT_EQ(vault->read().value(), VaultContents{});
    ASSERT_TRUE(secrets.remove(first).has_value());
    ASSERT_TRUE(keys.clear().has_value());
    EXPECT_EQ(KeychainItem::accounts(vaultService).value(), std::vector<std::string>{});
    ASSERT_TRUE(secrets.add(bytesOf("one"), first).has_value());
    EXPECT_EQ(KeychainItem::accounts(vaultService).value(), std::vector<std::string>{"secrets"});
    EXPECT_EQ(textOf(KeychainItem::read(vaultService, "secrets").value()),
              R"({"secrets":{")" + first.uuidString() + R"(":"b25l"},"version":1})");
}

TEST_F(KeychainVaultTest, ACorruptedItemIsRefusedAndLeftAsItIs) {
    ASSERT_TRUE(
        KeychainItem::add(vaultService, "secrets", bytesOf(R"({"version":2,"secrets":{}})")));
    EXPECT_EQ(vault->read().error(), SecretStoreError::invalidData());
    EXPECT_EQ(secrets.add(bytesOf("x"), first).error(), SecretStoreError::invalidData());
    EXPECT_EQ(recovery.setCodes({"c"}, first).error(), SecretStoreError::invalidData());
    EXPECT_EQ(textOf(KeychainItem::read(vaultService, "secrets").value()),
              R"({"version":2,"secrets":{}})");
}

TEST_F(KeychainVaultTest, AFailedSaveLeavesTheStoredDocument) {
    ASSERT_TRUE(secrets.add(bytesOf("one"), first).has_value());
    storage->failSaves = true;
    EXPECT_EQ(secrets.add(bytesOf("two"), second).error(),
              SecretStoreError::keychain(KeychainItem::statusServiceFailure));
    storage->failSaves = false;
    EXPECT_EQ(secrets.readAll().value(), (SecretMap{{first, bytesOf("one")}}));
}

TEST_F(KeychainVaultTest, ConcurrentChangesFromEightThreadsLoseNothing) {
    hammer(*vault, 8, 200);
    expectHammered(*vault, 8, 200);
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
    EXPECT_EQ(KeychainItem::read(service, first.uuidString()).value(), bytesOf("a"));
    ASSERT_TRUE(legacySecrets->remove(first));
    ASSERT_TRUE(legacySecrets->remove(first));
    EXPECT_EQ(legacySecrets->read(first).error(), SecretStoreError::notFound());

    ASSERT_TRUE(legacySecrets->replaceAll({{third, bytesOf("c")}}));
    EXPECT_EQ(legacySecrets->readAll().value(), (SecretMap{{third, bytesOf("c")}}));
}

TEST_F(MigrationTest, LegacyBackupKeyStoreKeepsCompactJSON) {
    EXPECT_EQ(legacyKeys->load().value(), std::nullopt);
    const BackupCredentials credentials(Bytes{1, 255}, Bytes{0}, 600000);
    ASSERT_TRUE(legacyKeys->save(credentials));
    EXPECT_EQ(textOf(KeychainItem::read(service + ".backup", "derived-key").value()),
              R"({"iterations":600000,"key":[1,255],"salt":[0]})");
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
    ASSERT_TRUE(secrets.add(bytesOf("different"), third));
    ASSERT_TRUE(legacySecrets->add(bytesOf("c"), third));
    ASSERT_TRUE(KeychainItem::add(service, "not-a-uuid", bytesOf("n")));
    ASSERT_TRUE(legacyKeys->save(BackupCredentials(Bytes{1}, Bytes{2}, 3)));

    EXPECT_EQ(migrate().value(), (VaultMigrationReport{2, true}));
    EXPECT_EQ(
        secrets.readAll().value(),
        (SecretMap{{first, bytesOf("a")}, {second, bytesOf("b")}, {third, bytesOf("different")}}));
    EXPECT_EQ(keys.load().value(), BackupCredentials(Bytes{1}, Bytes{2}, 3));
    auto left = KeychainItem::accounts(service).value();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{third.uuidString(), "not-a-uuid"}));
    EXPECT_EQ(legacyKeys->load().value(), std::nullopt);

    EXPECT_EQ(migrate().value(), (VaultMigrationReport{0, false})) << "nothing left to move";
}

TEST_F(MigrationTest, RemovesNoOldItemWhenTheVaultWriteFails) {
    ASSERT_TRUE(legacySecrets->add(bytesOf("a"), first));
    ASSERT_TRUE(legacyKeys->save(BackupCredentials(Bytes{1}, Bytes{2}, 3)));
    storage->failSaves = true;
    EXPECT_EQ(migrate().error(), SecretStoreError::keychain(KeychainItem::statusServiceFailure));
    EXPECT_EQ(legacySecrets->read(first).value(), bytesOf("a"));
    EXPECT_TRUE(legacyKeys->load().value().has_value());
    EXPECT_EQ(KeychainItem::accounts(vaultService).value(), std::vector<std::string>{});

    storage->failSaves = false;
    EXPECT_EQ(migrate().value(), (VaultMigrationReport{1, true}));
    EXPECT_EQ(legacySecrets->allIDs().value(), std::vector<UUID>{});
}
