// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace zemlar {

/// The error of every secret store: the vault, its adapters and the keychain items.
class SecretStoreError {
public:
    enum class Kind { keychain, duplicate, notFound, invalidData };

    /// The keychain answered with a status other than success, not-found or duplicate
    /// (see KeychainItem for the statuses of our own).
    static SecretStoreError keychain(std::int32_t status) { return {Kind::keychain, status}; }
    /// An item or entry already exists where a new one was to be added.
    static SecretStoreError duplicate() { return {Kind::duplicate, 0}; }
    static SecretStoreError notFound() { return {Kind::notFound, 0}; }
    /// Stored data is unusable (wrong type, not decodable, another vault version), or the vault
    /// could not be encoded.
    static SecretStoreError invalidData() { return {Kind::invalidData, 0}; }

    Kind kind() const { return kind_; }
    /// The keychain status, for keychain; 0 otherwise.
    std::int32_t status() const { return status_; }
    std::string describe() const;

    bool operator==(const SecretStoreError&) const = default;

private:
    SecretStoreError(Kind kind, std::int32_t status) : kind_(kind), status_(status) {}

    Kind kind_;
    std::int32_t status_;
};

} // namespace zemlar
