// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/SecretStore.hpp"

#include <OTPCore/BackupPayload.hpp>
#include <OTPCore/Crypto.hpp>
#include <unordered_map>

namespace zemlar {

/// Every secret of the store read at once, wiped when the value dies; with the hashed view the
/// pure comparisons take.
class WipedSecrets {
public:
    explicit WipedSecrets(SecretMap secrets) : secrets_(std::move(secrets)) {}
    WipedSecrets(const WipedSecrets&) = delete;
    WipedSecrets& operator=(const WipedSecrets&) = delete;
    ~WipedSecrets() {
        for (auto& [id, secret] : secrets_) {
            Crypto::wipe(secret);
        }
        for (auto& [id, secret] : hashed_) {
            Crypto::wipe(secret);
        }
    }

    const SecretMap& map() const { return secrets_; }
    /// A copy keyed by hash, made once and wiped with the rest.
    const std::unordered_map<UUID, Bytes>& hashed() {
        if (hashed_.empty() && !secrets_.empty()) {
            hashed_.insert(secrets_.begin(), secrets_.end());
        }
        return hashed_;
    }

private:
    SecretMap secrets_;
    std::unordered_map<UUID, Bytes> hashed_;
};

/// Wipes the secrets of an opened backup's accounts when it goes out of scope.
class PayloadSecretsWipe {
public:
    explicit PayloadSecretsWipe(BackupPayload& payload) : payload_(payload) {}
    PayloadSecretsWipe(const PayloadSecretsWipe&) = delete;
    PayloadSecretsWipe& operator=(const PayloadSecretsWipe&) = delete;
    ~PayloadSecretsWipe() {
        for (auto& account : payload_.accounts) {
            Crypto::wipe(account.secret);
        }
    }

private:
    BackupPayload& payload_;
};

} // namespace zemlar
