// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/VaultMigration.hpp"

#include "ZemlarKit/StoreGate.hpp"

#include <OTPCore/Crypto.hpp>

namespace zemlar::VaultMigration {
namespace {

Result<bool, SecretStoreError> moveSecret(const UUID& id, SecretStore& legacySecrets,
                                          SecretStore& secrets) {
    auto legacy = legacySecrets.read(id);
    if (!legacy) {
        return fail(legacy.error());
    }
    const Crypto::WipedBytes old(std::move(*legacy));
    auto added = secrets.add(old.value(), id);
    if (!added && added.error().kind() != SecretStoreError::Kind::duplicate) {
        return fail(added.error());
    }
    auto copy = secrets.read(id);
    if (!copy) {
        return false;
    }
    const Crypto::WipedBytes stored(std::move(*copy));
    if (stored.value() != old.value()) {
        return false;
    }
    (void)legacySecrets.remove(id);
    return true;
}

Result<bool, SecretStoreError> moveBackupKey(BackupKeyStore& legacyKeys, BackupKeyStore& keys) {
    auto legacy = legacyKeys.load();
    if (!legacy) {
        return fail(legacy.error());
    }
    if (!legacy->has_value()) {
        return false;
    }
    auto current = keys.load();
    if (!current) {
        return fail(current.error());
    }
    if (!current->has_value()) {
        if (auto saved = keys.save(**legacy); !saved) {
            return fail(saved.error());
        }
    }
    (void)legacyKeys.clear();
    return true;
}

} // namespace

Result<VaultMigrationReport, SecretStoreError> run(SecretStore& legacySecrets,
                                                   BackupKeyStore& legacyKeys, SecretStore& secrets,
                                                   BackupKeyStore& keys) {
    const StoreGate::Hold hold;
    auto ids = legacySecrets.allIDs();
    if (!ids) {
        return fail(ids.error());
    }
    VaultMigrationReport report;
    for (const UUID& id : *ids) {
        auto moved = moveSecret(id, legacySecrets, secrets);
        if (!moved) {
            return fail(moved.error());
        }
        report.movedSecrets += *moved ? 1 : 0;
    }
    auto movedKey = moveBackupKey(legacyKeys, keys);
    if (!movedKey) {
        return fail(movedKey.error());
    }
    report.movedBackupKey = *movedKey;
    return report;
}

} // namespace zemlar::VaultMigration
