// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/KeychainVaultStorage.hpp"

#include "ZemlarKit/KeychainItem.hpp"

namespace zemlar {

Result<std::optional<Bytes>, SecretStoreError> KeychainVaultStorage::load() {
    auto data = KeychainItem::read(service, account);
    if (!data) {
        if (data.error().kind() == SecretStoreError::Kind::notFound) {
            return std::optional<Bytes>{};
        }
        return fail(data.error());
    }
    return std::optional<Bytes>(std::move(*data));
}

Result<void, SecretStoreError> KeychainVaultStorage::save(const Bytes& document) {
    return KeychainItem::update(service, account, document);
}

Result<void, SecretStoreError> KeychainVaultStorage::create(const Bytes& document) {
    return KeychainItem::add(service, account, document);
}

} // namespace zemlar
