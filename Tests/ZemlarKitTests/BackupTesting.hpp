// SPDX-License-Identifier: GPL-3.0-or-later
// A whole set of stores as one computer has them, over the in-memory vault and files in a
// scratch folder, for the backup and inbox flows.
#pragma once

#include "StoreDoubles.hpp"

#include <OTPCore/BackupCodec.hpp>
#include <OTPCore/BackupKDF.hpp>
#include <TestSupport/BackupKey.hpp>
#include <ZemlarKit/ZemlarKit.hpp>
#include <memory>
#include <set>

namespace zemlar::testing {

struct Computer {
    /// Adds an account through the account flow and returns it as stored.
    Account add(std::string issuer, std::string name, Bytes secret, std::uint8_t number,
                OTPParameters parameters = OTPParameters::standard()) {
        const OTPAuthEntry entry(std::move(issuer), std::move(name), std::move(secret), parameters);
        const auto list = AccountFlows::add(entry, uuidNumber(number), Date(1'700'000'000 + number),
                                            accounts, secrets);
        return list.value().back();
    }

    ScratchFolder scratch;
    std::shared_ptr<SecretVault> vault =
        std::make_shared<SecretVault>(std::make_unique<InMemoryVaultStorage>());
    VaultSecretStore secrets{vault};
    VaultRecoveryCodeStore recovery{vault};
    VaultBackupKeyStore keys{vault};
    FileAccountStore accounts{scratch.path / "data" / "accounts.json"};
    FileGroupStore groups{scratch.path / "data" / "groups.json"};
    DirectoryBackupFileStore files{scratch.path / "Zemlar", 5};
};

/// The identifiers the phone's accounts were taken under, in memory.
struct MemoryTakenStore : InboxTakenStore {
    std::set<UUID> taken() override { return ids; }
    void set(const std::set<UUID>& newIDs) override {
        ++sets;
        ids = newIDs;
    }
    std::set<UUID> ids;
    int sets = 0;
};

inline BackupAccount backupAccount(std::uint8_t number, std::string issuer, std::string name,
                                   Bytes secret) {
    return BackupAccount{.id = uuidNumber(number),
                         .issuer = std::move(issuer),
                         .name = std::move(name),
                         .parameters = OTPParameters::standard(),
                         .secret = std::move(secret),
                         .createdAt = Date(1'700'000'000),
                         .domains = std::vector<std::string>{},
                         .groupID = std::nullopt,
                         .pressesReturn = std::nullopt,
                         .recoveryCodes = std::nullopt};
}

/// A file sealed under testKey with testSalt, as the phone or another computer writes it.
inline Bytes sealedFile(const BackupPayload& payload, const Bytes& salt = testSalt(),
                        std::int64_t iterations = testIterations) {
    return BackupCodec::seal(payload, testKey(), BackupHeader::make(salt, iterations),
                             RandomBytes::generate(BackupCodec::nonceLength))
        .value();
}

inline BackupPayload payloadOf(std::vector<BackupAccount> accounts, Groups groups = {}) {
    return BackupPayload::make(Date(1'750'000'000), std::move(accounts), std::move(groups));
}

} // namespace zemlar::testing
