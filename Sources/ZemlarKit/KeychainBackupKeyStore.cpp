// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/KeychainBackupKeyStore.hpp"

#include "ZemlarKit/KeychainItem.hpp"

#include <OTPCore/Crypto.hpp>

namespace zemlar {

Result<std::optional<BackupCredentials>, SecretStoreError> KeychainBackupKeyStore::load() {
    auto data = KeychainItem::read(service, account);
    if (!data) {
        if (data.error().kind() == SecretStoreError::Kind::notFound) {
            return std::optional<BackupCredentials>{};
        }
        return fail(data.error());
    }
    auto credentials = BackupCredentials::decode(*data);
    Crypto::wipe(*data);
    if (!credentials) {
        return fail(SecretStoreError::invalidData());
    }
    return credentials;
}

Result<void, SecretStoreError> KeychainBackupKeyStore::save(const BackupCredentials& credentials) {
    auto data = credentials.encoded();
    if (!data) {
        return fail(SecretStoreError::invalidData());
    }
    auto saved = KeychainItem::upsert(service, account, *data);
    Crypto::wipe(*data);
    return saved;
}

Result<void, SecretStoreError> KeychainBackupKeyStore::clear() {
    return KeychainItem::remove(service, account);
}

} // namespace zemlar
