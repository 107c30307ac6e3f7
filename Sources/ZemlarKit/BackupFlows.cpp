// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/BackupFlows.hpp"

#include "ZemlarKit/StoreGate.hpp"
#include "ZemlarKit/WipedSecrets.hpp"

#include <OTPCore/BackupCodec.hpp>
#include <OTPCore/BackupKDF.hpp>
#include <OTPCore/GroupList.hpp>
#include <algorithm>
#include <set>
#include <unordered_map>

namespace zemlar {

std::string BackupFlowError::describe() const {
    switch (kind_) {
    case Kind::accounts:
        return "accounts(" + accountsError().describe() + ")";
    case Kind::secrets:
        return "secrets(" + secretsError().describe() + ")";
    case Kind::keyStore:
        return "keyStore(" + secretsError().describe() + ")";
    case Kind::file:
        return "file(" + fileError().describe() + ")";
    case Kind::codec:
        return "codec(" + codecError().describe() + ")";
    case Kind::notConfigured:
        return "notConfigured";
    case Kind::keyDerivationFailed:
        return "keyDerivationFailed";
    case Kind::noBackup:
        return "noBackup";
    }
    return "noBackup";
}

namespace BackupFlows {

namespace {

Result<BackupCredentials, BackupFlowError> storedCredentials(BackupKeyStore& keyStore) {
    auto loaded = keyStore.load();
    if (!loaded) {
        return fail(BackupFlowError::keyStore(loaded.error()));
    }
    if (!*loaded) {
        return fail(BackupFlowError::notConfigured());
    }
    return std::move(**loaded);
}

Result<std::vector<BackupAccount>, BackupFlowError>
collect(const Accounts& accounts, SecretStore& secretStore, RecoveryCodeStore& recoveryStore) {
    auto read = secretStore.readAll();
    if (!read) {
        return fail(BackupFlowError::secrets(read.error()));
    }
    const WipedSecrets secrets(std::move(*read));
    const auto codes = recoveryStore.readAll();
    if (!codes) {
        return fail(BackupFlowError::secrets(codes.error()));
    }
    std::vector<BackupAccount> collected;
    collected.reserve(accounts.size());
    for (const auto& account : accounts) {
        const auto secret = secrets.map().find(account.id);
        if (secret == secrets.map().end()) {
            for (auto& done : collected) {
                Crypto::wipe(done.secret);
            }
            return fail(BackupFlowError::secrets(SecretStoreError::notFound()));
        }
        const auto accountCodes = codes->find(account.id);
        collected.push_back(BackupAccount::make(
            account, secret->second,
            accountCodes == codes->end() ? std::vector<std::string>{} : accountCodes->second));
    }
    return collected;
}

void wipeSecrets(std::vector<BackupAccount>& accounts) {
    for (auto& account : accounts) {
        Crypto::wipe(account.secret);
    }
}

Result<std::unordered_map<UUID, UUID>, BackupFlowError> mergeGroups(const BackupPayload& payload,
                                                                    GroupStore& groupStore) {
    if (!payload.groups || payload.groups->empty()) {
        return std::unordered_map<UUID, UUID>{};
    }
    const auto local = groupStore.load();
    if (!local) {
        return fail(BackupFlowError::accounts(local.error()));
    }
    GroupMerge merge = GroupList::merging(*payload.groups, *local);
    if (merge.groups != *local) {
        if (auto saved = groupStore.save(merge.groups); !saved) {
            return fail(BackupFlowError::accounts(saved.error()));
        }
    }
    return std::move(merge.mapping);
}

enum class SecretOutcome { added, adopted, failed };

SecretOutcome storeSecret(const BackupAccount& account, SecretStore& secretStore) {
    const auto added = secretStore.add(account.secret, account.id);
    if (added) {
        return SecretOutcome::added;
    }
    if (added.error().kind() != SecretStoreError::Kind::duplicate) {
        return SecretOutcome::failed;
    }
    auto stored = secretStore.read(account.id);
    if (!stored) {
        return SecretOutcome::failed;
    }
    const bool same = *stored == account.secret;
    Crypto::wipe(*stored);
    return same ? SecretOutcome::adopted : SecretOutcome::failed;
}

/// The first backup account of each identifier, in payload order.
std::vector<const BackupAccount*> distinctAccounts(const std::vector<BackupAccount>& accounts) {
    std::set<UUID> seen;
    std::vector<const BackupAccount*> result;
    for (const auto& account : accounts) {
        if (seen.insert(account.id).second) {
            result.push_back(&account);
        }
    }
    return result;
}

Result<RestoreReport, BackupFlowError> mergeAccounts(const BackupPayload& payload,
                                                     const std::unordered_map<UUID, UUID>& groupMap,
                                                     AccountStore& accountStore,
                                                     SecretStore& secretStore) {
    auto loaded = accountStore.load();
    if (!loaded) {
        return fail(BackupFlowError::accounts(loaded.error()));
    }
    RestoreReport report{std::move(*loaded), 0, 0, 0};
    std::set<UUID> localIDs;
    for (const auto& account : report.accounts) {
        localIDs.insert(account.id);
    }
    std::vector<UUID> added;
    Accounts newRecords;
    for (const BackupAccount* account : distinctAccounts(payload.accounts)) {
        if (localIDs.contains(account->id)) {
            ++report.alreadyPresent;
            continue;
        }
        const SecretOutcome outcome = storeSecret(*account, secretStore);
        if (outcome == SecretOutcome::failed) {
            ++report.failed;
            continue;
        }
        if (outcome == SecretOutcome::added) {
            added.push_back(account->id);
        }
        Account record = account->account();
        if (record.groupID) {
            const auto mapped = groupMap.find(*record.groupID);
            record.groupID =
                mapped == groupMap.end() ? std::nullopt : std::optional(mapped->second);
        }
        newRecords.push_back(std::move(record));
    }
    report.imported = static_cast<std::int64_t>(newRecords.size());
    if (newRecords.empty()) {
        return report;
    }
    Accounts merged = report.accounts;
    merged.insert(merged.end(), newRecords.begin(), newRecords.end());
    if (auto saved = accountStore.save(merged); !saved) {
        for (const auto& id : added) {
            (void)secretStore.remove(id);
        }
        return fail(BackupFlowError::accounts(saved.error()));
    }
    report.accounts = std::move(merged);
    return report;
}

void adoptCredentials(const Bytes& key, const BackupHeader& header, BackupKeyStore& keyStore) {
    const auto loaded = keyStore.load();
    if (loaded && !*loaded) {
        (void)keyStore.save(BackupCredentials(key, header.kdf.salt, header.kdf.iterations));
    }
}

void restoreRecoveryCodes(const BackupPayload& payload, const Accounts& accounts,
                          RecoveryCodeStore& recoveryStore) {
    std::vector<const BackupAccount*> withCodes;
    for (const auto& account : payload.accounts) {
        if (account.recoveryCodes && !account.recoveryCodes->empty()) {
            withCodes.push_back(&account);
        }
    }
    if (withCodes.empty()) {
        return;
    }
    auto stored = recoveryStore.readAll();
    if (!stored) {
        return;
    }
    for (const BackupAccount* account : withCodes) {
        const bool present =
            std::any_of(accounts.begin(), accounts.end(),
                        [&](const Account& local) { return local.id == account->id; });
        const auto existing = stored->find(account->id);
        if (!present || (existing != stored->end() && !existing->second.empty())) {
            continue;
        }
        if (recoveryStore.setCodes(*account->recoveryCodes, account->id)) {
            (*stored)[account->id] = *account->recoveryCodes;
        }
    }
}

} // namespace

Result<BackupCredentials, BackupFlowError> setUp(std::string_view passphrase,
                                                 std::span<const std::uint8_t> salt,
                                                 std::int64_t iterations,
                                                 BackupKeyStore& keyStore) {
    auto key = BackupKDF::deriveKey(passphrase, salt, iterations);
    if (!key) {
        return fail(BackupFlowError::keyDerivationFailed());
    }
    BackupCredentials credentials(std::move(*key), Bytes(salt.begin(), salt.end()), iterations);
    const StoreGate::Hold hold;
    if (auto saved = keyStore.save(credentials); !saved) {
        return fail(BackupFlowError::keyStore(saved.error()));
    }
    return credentials;
}

Result<std::int64_t, BackupFlowError>
exportBackup(Date now, std::span<const std::uint8_t> nonce, AccountStore& accountStore,
             GroupStore& groupStore, SecretStore& secretStore, BackupKeyStore& keyStore,
             BackupFileStore& fileStore, RecoveryCodeStore& recoveryStore) {
    const StoreGate::Hold hold;
    const auto credentials = storedCredentials(keyStore);
    if (!credentials) {
        return fail(credentials.error());
    }
    auto groups = groupStore.load();
    if (!groups) {
        return fail(BackupFlowError::accounts(groups.error()));
    }
    const auto accounts = accountStore.load();
    if (!accounts) {
        return fail(BackupFlowError::accounts(accounts.error()));
    }
    auto collected = collect(*accounts, secretStore, recoveryStore);
    if (!collected) {
        return fail(collected.error());
    }
    const auto count = static_cast<std::int64_t>(collected->size());
    BackupPayload payload = BackupPayload::make(now, std::move(*collected), std::move(*groups));
    auto sealed =
        BackupCodec::seal(payload, credentials->key,
                          BackupHeader::make(credentials->salt, credentials->iterations), nonce);
    wipeSecrets(payload.accounts);
    if (!sealed) {
        return fail(BackupFlowError::codec(sealed.error()));
    }
    if (auto written = fileStore.write(*sealed, now); !written) {
        return fail(BackupFlowError::file(written.error()));
    }
    return count;
}

Result<RestoreReport, BackupFlowError> restore(std::span<const std::uint8_t> data,
                                               std::string_view passphrase,
                                               AccountStore& accountStore, GroupStore& groupStore,
                                               SecretStore& secretStore, BackupKeyStore& keyStore,
                                               RecoveryCodeStore& recoveryStore) {
    const auto header = BackupCodec::header(data);
    if (!header) {
        return fail(BackupFlowError::codec(header.error()));
    }
    auto derived = BackupKDF::deriveKey(passphrase, header->kdf.salt, header->kdf.iterations);
    if (!derived) {
        return fail(BackupFlowError::keyDerivationFailed());
    }
    const Crypto::WipedBytes key(std::move(*derived));
    auto payload = BackupCodec::open(data, key.value());
    if (!payload) {
        return fail(BackupFlowError::codec(payload.error()));
    }
    const PayloadSecretsWipe wipe(*payload);
    const StoreGate::Hold hold;
    const auto groupMap = mergeGroups(*payload, groupStore);
    if (!groupMap) {
        return fail(groupMap.error());
    }
    auto report = mergeAccounts(*payload, *groupMap, accountStore, secretStore);
    if (!report) {
        return fail(report.error());
    }
    adoptCredentials(key.value(), *header, keyStore);
    restoreRecoveryCodes(*payload, report->accounts, recoveryStore);
    return std::move(*report);
}

Result<BackupCheckReport, BackupFlowError> verify(AccountStore& accountStore,
                                                  SecretStore& secretStore,
                                                  BackupKeyStore& keyStore,
                                                  BackupFileStore& fileStore) {
    const StoreGate::Hold hold;
    const auto credentials = storedCredentials(keyStore);
    if (!credentials) {
        return fail(credentials.error());
    }
    const auto latest = fileStore.readLatest();
    if (!latest) {
        return fail(BackupFlowError::file(latest.error()));
    }
    if (!*latest) {
        return fail(BackupFlowError::noBackup());
    }
    auto payload = BackupCodec::open(**latest, credentials->key);
    if (!payload) {
        return fail(BackupFlowError::codec(payload.error()));
    }
    const PayloadSecretsWipe wipe(*payload);
    const auto accounts = accountStore.load();
    if (!accounts) {
        return fail(BackupFlowError::accounts(accounts.error()));
    }
    auto read = secretStore.readAll();
    if (!read) {
        return fail(BackupFlowError::secrets(read.error()));
    }
    WipedSecrets secrets(std::move(*read));
    return BackupCheck::compare(*payload, *accounts, secrets.hashed());
}

Result<std::int64_t, BackupFlowError> countAccounts(std::span<const std::uint8_t> data,
                                                    BackupKeyStore& keyStore) {
    const auto credentials = storedCredentials(keyStore);
    if (!credentials) {
        return fail(credentials.error());
    }
    auto payload = BackupCodec::open(data, credentials->key);
    if (!payload) {
        return fail(BackupFlowError::codec(payload.error()));
    }
    const PayloadSecretsWipe wipe(*payload);
    return static_cast<std::int64_t>(payload->accounts.size());
}

} // namespace BackupFlows
} // namespace zemlar
