// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/KeychainSecretStore.hpp"

#include "ZemlarKit/KeychainItem.hpp"

namespace zemlar {

Result<void, SecretStoreError> KeychainSecretStore::add(const Bytes& secret, const UUID& id) {
    return KeychainItem::add(service, id.uuidString(), secret);
}

Result<Bytes, SecretStoreError> KeychainSecretStore::read(const UUID& id) {
    return KeychainItem::read(service, id.uuidString());
}

Result<SecretMap, SecretStoreError> KeychainSecretStore::readAll() {
    auto ids = allIDs();
    if (!ids) {
        return fail(ids.error());
    }
    SecretMap secrets;
    for (const UUID& id : *ids) {
        auto secret = read(id);
        if (!secret) {
            return fail(secret.error());
        }
        secrets.insert_or_assign(id, std::move(*secret));
    }
    return secrets;
}

Result<void, SecretStoreError> KeychainSecretStore::remove(const UUID& id) {
    return KeychainItem::remove(service, id.uuidString());
}

Result<std::vector<UUID>, SecretStoreError> KeychainSecretStore::allIDs() {
    auto names = KeychainItem::accounts(service);
    if (!names) {
        return fail(names.error());
    }
    std::vector<UUID> ids;
    for (const std::string& name : *names) {
        if (const auto id = UUID::parse(name)) {
            ids.push_back(*id);
        }
    }
    return ids;
}

} // namespace zemlar
