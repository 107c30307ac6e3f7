// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/VaultBackupKeyStore.hpp"

namespace zemlar {

Result<std::optional<BackupCredentials>, SecretStoreError> VaultBackupKeyStore::load() {
    auto contents = vault->read();
    if (!contents) {
        return fail(contents.error());
    }
    return std::move(contents->backup);
}

Result<void, SecretStoreError> VaultBackupKeyStore::save(const BackupCredentials& credentials) {
    return vault->update([&](VaultContents& contents) -> Result<void, SecretStoreError> {
        contents.backup = credentials;
        return {};
    });
}

Result<void, SecretStoreError> VaultBackupKeyStore::clear() {
    return vault->update([](VaultContents& contents) -> Result<void, SecretStoreError> {
        contents.backup.reset();
        return {};
    });
}

} // namespace zemlar
