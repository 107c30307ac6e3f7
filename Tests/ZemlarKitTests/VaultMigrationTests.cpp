// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreDoubles.hpp"

#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

struct MigrationFixture : ::testing::Test {
    MapSecretStore legacySecrets;
    MapBackupKeyStore legacyKeys;
    MapSecretStore secrets;
    MapBackupKeyStore keys;

    Result<VaultMigrationReport, SecretStoreError> run() {
        return VaultMigration::run(legacySecrets, legacyKeys, secrets, keys);
    }
};

const UUID first = uuidNumber(1);
const UUID second = uuidNumber(2);
const UUID third = uuidNumber(3);

} // namespace

TEST_F(MigrationFixture, MovesEverySecretAndTheCredentialsButNeverOverwritesTheVault) {
    // The third was moved before: as it is identical, the old item goes.
    legacySecrets.secrets = {
        {first, bytesOf("a")}, {second, bytesOf("old")}, {third, bytesOf("same")}};
    secrets.secrets = {{second, bytesOf("new")}, {third, bytesOf("same")}};
    legacyKeys.credentials = BackupCredentials(Bytes{1}, Bytes{2}, 3);
    EXPECT_EQ(run().value(), (VaultMigrationReport{2, true}));
    EXPECT_EQ(secrets.secrets.at(first), bytesOf("a"));
    EXPECT_EQ(secrets.secrets.at(second), bytesOf("new"));
    EXPECT_EQ(legacySecrets.secrets, (SecretMap{{second, bytesOf("old")}}))
        << "a different secret already moved is kept in both";
    EXPECT_EQ(keys.credentials, BackupCredentials(Bytes{1}, Bytes{2}, 3));
    EXPECT_EQ(legacyKeys.credentials, std::nullopt);

    legacyKeys.credentials = BackupCredentials(Bytes{4}, Bytes{4}, 4);
    EXPECT_EQ(run().value(), (VaultMigrationReport{0, true}));
    EXPECT_EQ(keys.credentials, BackupCredentials(Bytes{1}, Bytes{2}, 3));
    EXPECT_EQ(legacyKeys.credentials, std::nullopt) << "the old item is cleared all the same";
}

TEST_F(MigrationFixture, KeepsTheOldItemWhenTheCopyCannotBeReadBack) {
    legacySecrets.secrets = {{first, bytesOf("a")}};
    secrets.failRead = true;
    EXPECT_EQ(run().value(), (VaultMigrationReport{0, false}));
    EXPECT_EQ(legacySecrets.removes, 0);
}

TEST_F(MigrationFixture, AFailedWriteStopsTheRunAndRemovesNothing) {
    legacySecrets.secrets = {{first, bytesOf("a")}, {second, bytesOf("b")}, {third, bytesOf("c")}};
    secrets.failAdd = 2;
    EXPECT_EQ(run().error(), SecretStoreError::keychain(-1));
    EXPECT_EQ(secrets.secrets, (SecretMap{{first, bytesOf("a")}}));
    EXPECT_EQ(legacySecrets.secrets, (SecretMap{{second, bytesOf("b")}, {third, bytesOf("c")}}));
    secrets.failAdd.reset();
    EXPECT_EQ(run().value(), (VaultMigrationReport{2, false})) << "a later run completes it";
    EXPECT_TRUE(legacySecrets.secrets.empty());

    legacyKeys.credentials = BackupCredentials(Bytes{1}, Bytes{1}, 1);
    keys.failSave = true;
    EXPECT_EQ(run().error(), SecretStoreError::keychain(-6));
    EXPECT_EQ(legacyKeys.clears, 0);
    legacySecrets.failAllIDs = true;
    EXPECT_EQ(run().error(), SecretStoreError::keychain(-4));
}
