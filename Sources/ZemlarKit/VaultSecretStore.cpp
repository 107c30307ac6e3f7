// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/VaultSecretStore.hpp"

#include <OTPCore/Crypto.hpp>

namespace zemlar {

Result<void, SecretStoreError> VaultSecretStore::add(const Bytes& secret, const UUID& id) {
    return vault->update([&](VaultContents& contents) -> Result<void, SecretStoreError> {
        if (!contents.secrets.try_emplace(id.uuidString(), secret).second) {
            return fail(SecretStoreError::duplicate());
        }
        return {};
    });
}

Result<std::set<UUID>, SecretStoreError> VaultSecretStore::addAll(const SecretMap& secrets) {
    std::set<UUID> present;
    auto updated = vault->update([&](VaultContents& contents) -> Result<void, SecretStoreError> {
        present.clear();
        for (const auto& [id, secret] : secrets) {
            if (!contents.secrets.try_emplace(id.uuidString(), secret).second) {
                present.insert(id);
            }
        }
        return {};
    });
    if (!updated) {
        return fail(updated.error());
    }
    return present;
}

Result<Bytes, SecretStoreError> VaultSecretStore::read(const UUID& id) {
    auto contents = vault->read();
    if (!contents) {
        return fail(contents.error());
    }
    const auto found = contents->secrets.find(id.uuidString());
    if (found == contents->secrets.end()) {
        return fail(SecretStoreError::notFound());
    }
    return found->second;
}

Result<SecretMap, SecretStoreError> VaultSecretStore::readAll() {
    auto contents = vault->read();
    if (!contents) {
        return fail(contents.error());
    }
    SecretMap secrets;
    for (const auto& [key, secret] : contents->secrets) {
        if (const auto id = UUID::parse(key)) {
            secrets.emplace(*id, secret);
        }
    }
    return secrets;
}

Result<void, SecretStoreError> VaultSecretStore::remove(const UUID& id) {
    return vault->update([&](VaultContents& contents) -> Result<void, SecretStoreError> {
        const std::string key = id.uuidString();
        contents.secrets.erase(key);
        if (contents.recovery) {
            contents.recovery->erase(key);
        }
        return {};
    });
}

Result<std::vector<UUID>, SecretStoreError> VaultSecretStore::allIDs() {
    auto secrets = readAll();
    if (!secrets) {
        return fail(secrets.error());
    }
    std::vector<UUID> ids;
    for (const auto& [id, secret] : *secrets) {
        ids.push_back(id);
    }
    return ids;
}

Result<void, SecretStoreError> VaultSecretStore::replaceAll(const SecretMap& secrets) {
    return vault->update([&](VaultContents& contents) -> Result<void, SecretStoreError> {
        std::map<std::string, Bytes> replaced;
        for (const auto& [id, secret] : secrets) {
            replaced.emplace(id.uuidString(), secret);
        }
        contents.secrets.swap(replaced);
        for (auto& [key, secret] : replaced) {
            Crypto::wipe(secret);
        }
        return {};
    });
}

} // namespace zemlar
