// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountStoreError.hpp"
#include "ZemlarKit/SecretStoreError.hpp"

#include <OTPCore/BackupError.hpp>
#include <string>
#include <variant>

namespace zemlar {

/// Why the accounts of the phone's inbox were not taken.
class InboxImportError {
public:
    enum class Kind { codec, accounts, secrets, keyStore, notConfigured, staleKey };

    /// The inbox file cannot be read or opened.
    static InboxImportError codec(BackupError error) { return {Kind::codec, error}; }
    static InboxImportError accounts(AccountStoreError error) { return {Kind::accounts, error}; }
    static InboxImportError secrets(SecretStoreError error) { return {Kind::secrets, error}; }
    static InboxImportError keyStore(SecretStoreError error) { return {Kind::keyStore, error}; }
    /// No backup credentials are stored.
    static InboxImportError notConfigured() { return {Kind::notConfigured, std::monostate{}}; }
    /// The inbox was sealed with another salt or iteration count than the stored credentials.
    static InboxImportError staleKey() { return {Kind::staleKey, std::monostate{}}; }

    Kind kind() const { return kind_; }
    /// The payloads; each only for its own kinds.
    const BackupError& codecError() const { return std::get<BackupError>(payload_); }
    const AccountStoreError& accountsError() const { return std::get<AccountStoreError>(payload_); }
    /// For secrets and keyStore.
    const SecretStoreError& secretsError() const { return std::get<SecretStoreError>(payload_); }
    std::string describe() const;

    bool operator==(const InboxImportError&) const = default;

private:
    using Payload = std::variant<std::monostate, BackupError, AccountStoreError, SecretStoreError>;

    InboxImportError(Kind kind, Payload payload) : kind_(kind), payload_(std::move(payload)) {}

    Kind kind_;
    Payload payload_;
};

} // namespace zemlar
