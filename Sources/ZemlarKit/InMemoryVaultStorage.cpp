// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/InMemoryVaultStorage.hpp"

#include <OTPCore/Crypto.hpp>

namespace zemlar {

InMemoryVaultStorage::~InMemoryVaultStorage() {
    if (document_) {
        Crypto::wipe(*document_);
    }
}

Result<std::optional<Bytes>, SecretStoreError> InMemoryVaultStorage::load() {
    const std::lock_guard guard(mutex_);
    return document_;
}

Result<void, SecretStoreError> InMemoryVaultStorage::save(const Bytes& document) {
    const std::lock_guard guard(mutex_);
    if (!document_) {
        return fail(SecretStoreError::notFound());
    }
    replace(document);
    return {};
}

Result<void, SecretStoreError> InMemoryVaultStorage::create(const Bytes& document) {
    const std::lock_guard guard(mutex_);
    if (document_) {
        return fail(SecretStoreError::duplicate());
    }
    replace(document);
    return {};
}

void InMemoryVaultStorage::replace(const Bytes& document) {
    if (document_) {
        Crypto::wipe(*document_);
    }
    document_ = document;
    ++saveCount_;
}

std::optional<Bytes> InMemoryVaultStorage::document() const {
    const std::lock_guard guard(mutex_);
    return document_;
}

int InMemoryVaultStorage::saveCount() const {
    const std::lock_guard guard(mutex_);
    return saveCount_;
}

} // namespace zemlar
