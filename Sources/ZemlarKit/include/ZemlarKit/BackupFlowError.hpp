// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountStoreError.hpp"
#include "ZemlarKit/BackupFileError.hpp"
#include "ZemlarKit/SecretStoreError.hpp"

#include <OTPCore/BackupError.hpp>
#include <string>
#include <variant>

namespace zemlar {

/// The first failure of a backup flow.
class BackupFlowError {
public:
    enum class Kind {
        accounts,
        secrets,
        keyStore,
        file,
        codec,
        notConfigured,
        keyDerivationFailed,
        noBackup
    };

    /// Loading or saving the account or group list failed.
    static BackupFlowError accounts(AccountStoreError error) { return {Kind::accounts, error}; }
    /// Reading or writing secrets or recovery codes failed, or an account has no secret.
    static BackupFlowError secrets(SecretStoreError error) { return {Kind::secrets, error}; }
    /// Loading or saving the backup credentials failed.
    static BackupFlowError keyStore(SecretStoreError error) { return {Kind::keyStore, error}; }
    static BackupFlowError file(BackupFileError error) { return {Kind::file, error}; }
    /// A file could not be sealed, read or opened.
    static BackupFlowError codec(BackupError error) { return {Kind::codec, error}; }
    /// No passphrase has been set.
    static BackupFlowError notConfigured() { return {Kind::notConfigured, std::monostate{}}; }
    static BackupFlowError keyDerivationFailed() {
        return {Kind::keyDerivationFailed, std::monostate{}};
    }
    /// There is no latest backup file.
    static BackupFlowError noBackup() { return {Kind::noBackup, std::monostate{}}; }

    Kind kind() const { return kind_; }
    /// The payloads; each only for its own kinds.
    const AccountStoreError& accountsError() const { return std::get<AccountStoreError>(payload_); }
    /// For secrets and keyStore.
    const SecretStoreError& secretsError() const { return std::get<SecretStoreError>(payload_); }
    const BackupFileError& fileError() const { return std::get<BackupFileError>(payload_); }
    const BackupError& codecError() const { return std::get<BackupError>(payload_); }
    std::string describe() const;

    bool operator==(const BackupFlowError&) const = default;

private:
    using Payload = std::variant<std::monostate, AccountStoreError, SecretStoreError,
                                 BackupFileError, BackupError>;

    BackupFlowError(Kind kind, Payload payload) : kind_(kind), payload_(std::move(payload)) {}

    Kind kind_;
    Payload payload_;
};

} // namespace zemlar
