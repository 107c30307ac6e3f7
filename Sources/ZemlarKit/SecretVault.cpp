// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/SecretVault.hpp"

#include <OTPCore/Crypto.hpp>

namespace zemlar {

SecretVault::SecretVault(std::unique_ptr<VaultStorage> storage) : storage_(std::move(storage)) {}

Result<VaultContents, SecretStoreError> SecretVault::loadLocked() {
    auto stored = storage_->load();
    if (!stored) {
        return fail(stored.error());
    }
    if (!stored->has_value()) {
        return VaultContents{};
    }
    auto contents = VaultContents::decode(**stored);
    Crypto::wipe(**stored);
    return contents;
}

Result<VaultContents, SecretStoreError> SecretVault::read() {
    const std::lock_guard guard(lock_);
    return loadLocked();
}

Result<void, SecretStoreError> SecretVault::update(const Body& body) {
    const std::lock_guard guard(lock_);
    const auto loaded = loadLocked();
    if (!loaded) {
        return fail(loaded.error());
    }
    VaultContents changed = *loaded;
    if (auto outcome = body(changed); !outcome) {
        return outcome;
    }
    if (changed == *loaded) {
        return {};
    }
    auto document = changed.encoded();
    if (!document) {
        return fail(document.error());
    }
    auto saved = storage_->save(*document);
    Crypto::wipe(*document);
    return saved;
}

} // namespace zemlar
