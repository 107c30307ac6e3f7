// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/SecretVault.hpp"

#include <OTPCore/Crypto.hpp>

namespace zemlar {

SecretVault::SecretVault(std::unique_ptr<VaultStorage> storage) : storage_(std::move(storage)) {}

Result<SecretVault::Loaded, SecretStoreError> SecretVault::loadLocked() {
    auto stored = storage_->load();
    if (!stored) {
        return fail(stored.error());
    }
    if (!stored->has_value()) {
        return Loaded{};
    }
    auto contents = VaultContents::decode(**stored);
    Crypto::wipe(**stored);
    if (!contents) {
        return fail(contents.error());
    }
    return Loaded{std::move(*contents), true};
}

Result<VaultContents, SecretStoreError> SecretVault::read() {
    const std::lock_guard guard(lock_);
    auto loaded = loadLocked();
    if (!loaded) {
        return fail(loaded.error());
    }
    return std::move(loaded->contents);
}

Result<void, SecretStoreError> SecretVault::update(const Body& body) {
    const std::lock_guard guard(lock_);
    const auto loaded = loadLocked();
    if (!loaded) {
        return fail(loaded.error());
    }
    VaultContents changed = loaded->contents;
    if (auto outcome = body(changed); !outcome) {
        return outcome;
    }
    if (changed == loaded->contents) {
        return {};
    }
    auto document = changed.encoded();
    if (!document) {
        return fail(document.error());
    }
    auto saved = loaded->stored ? storage_->save(*document) : storage_->create(*document);
    Crypto::wipe(*document);
    return saved;
}

} // namespace zemlar
