// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/InboxImportFlow.hpp"

#include "ZemlarKit/StoreGate.hpp"
#include "ZemlarKit/WipedSecrets.hpp"

#include <OTPCore/BackupCodec.hpp>
#include <OTPCore/InboxMerge.hpp>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <openssl/evp.h>

namespace zemlar {

std::string InboxImportError::describe() const {
    switch (kind_) {
    case Kind::codec:
        return "codec(" + codecError().describe() + ")";
    case Kind::accounts:
        return "accounts(" + accountsError().describe() + ")";
    case Kind::secrets:
        return "secrets(" + secretsError().describe() + ")";
    case Kind::keyStore:
        return "keyStore(" + secretsError().describe() + ")";
    case Kind::notConfigured:
        return "notConfigured";
    case Kind::staleKey:
        return "staleKey";
    }
    return "staleKey";
}

namespace {

QSettings userDefaults() {
    return QSettings(QStringLiteral("Zemlar"), QStringLiteral("Zemlar"));
}

} // namespace

std::set<UUID> UserDefaultsInboxTakenStore::taken() {
    std::set<UUID> ids;
    for (const QString& text : userDefaults().value(QString::fromLatin1(key)).toStringList()) {
        if (const auto id = UUID::parse(text.toStdString())) {
            ids.insert(*id);
        }
    }
    return ids;
}

void UserDefaultsInboxTakenStore::set(const std::set<UUID>& ids) {
    QStringList texts;
    for (const auto& id : ids) {
        texts.append(QString::fromStdString(id.uuidString()));
    }
    texts.sort();
    auto settings = userDefaults();
    settings.setValue(QString::fromLatin1(key), texts);
    settings.sync();
}

namespace InboxImportFlow {

namespace {

struct UsableAccounts {
    Accounts records;
    std::vector<std::string> titles;
    std::vector<UUID> added;
};

bool holdsTheSameSecret(const BackupAccount& account, SecretStore& secretStore) {
    auto stored = secretStore.read(account.id);
    const bool same = stored && *stored == account.secret;
    if (stored) {
        Crypto::wipe(*stored);
    }
    return same;
}

/// Stores the secrets in one go. An identical secret already stored makes its account usable
/// without adding it; a different one leaves the account out. A failure of the store adds
/// nothing and fails the run, so no identifier of the file is taken and the next check tries
/// the file again.
Result<UsableAccounts, SecretStoreError> storeSecrets(const std::vector<BackupAccount>& toAdd,
                                                      SecretStore& secretStore) {
    SecretMap secrets;
    for (const auto& account : toAdd) {
        secrets.emplace(account.id, account.secret);
    }
    const WipedSecrets staged(std::move(secrets));
    const auto present = secretStore.addAll(staged.map());
    if (!present) {
        return fail(present.error());
    }
    UsableAccounts usable;
    for (const auto& account : toAdd) {
        const bool added = !present->contains(account.id);
        if (added) {
            usable.added.push_back(account.id);
        }
        if (added || holdsTheSameSecret(account, secretStore)) {
            usable.records.push_back(account.account());
            usable.titles.push_back(AccountTitle::make(account.issuer, account.name));
        }
    }
    return usable;
}

/// Failures that lie in the file itself: the same file fails again until the phone rewrites it.
bool isTheFilesFault(const InboxImportError& error) {
    return error.kind() == InboxImportError::Kind::codec ||
           error.kind() == InboxImportError::Kind::staleKey;
}

} // namespace

Result<InboxImportReport, InboxImportError> run(std::span<const std::uint8_t> data,
                                                AccountStore& accountStore, GroupStore& groupStore,
                                                SecretStore& secretStore, BackupKeyStore& keyStore,
                                                InboxTakenStore& takenStore) {
    const StoreGate::Hold hold;
    const auto credentials = keyStore.load();
    if (!credentials) {
        return fail(InboxImportError::keyStore(credentials.error()));
    }
    if (!*credentials) {
        return fail(InboxImportError::notConfigured());
    }
    const auto header = BackupCodec::header(data);
    if (!header) {
        return fail(InboxImportError::codec(header.error()));
    }
    if (header->kdf.salt != (*credentials)->salt ||
        header->kdf.iterations != (*credentials)->iterations) {
        return fail(InboxImportError::staleKey());
    }
    auto payload = BackupCodec::open(data, (*credentials)->key);
    if (!payload) {
        return fail(InboxImportError::codec(payload.error()));
    }
    const PayloadSecretsWipe wipe(*payload);

    auto local = accountStore.load();
    if (!local) {
        return fail(InboxImportError::accounts(local.error()));
    }
    const std::set<UUID> taken = takenStore.taken();
    auto read = secretStore.readAll();
    if (!read) {
        return fail(InboxImportError::secrets(read.error()));
    }
    WipedSecrets secrets(std::move(*read));
    const auto groups = groupStore.load();
    InboxMergePlan plan = InboxMerge::plan(payload->accounts, *local, secrets.hashed(),
                                           groups ? *groups : Groups{}, taken);
    struct PlanWipe {
        InboxMergePlan& plan;
        ~PlanWipe() {
            for (auto& account : plan.toAdd) {
                Crypto::wipe(account.secret);
            }
        }
    } planWipe{plan};

    auto stored = storeSecrets(plan.toAdd, secretStore);
    if (!stored) {
        return fail(InboxImportError::secrets(stored.error()));
    }
    UsableAccounts& usable = *stored;
    if (!usable.records.empty()) {
        Accounts merged = std::move(*local);
        merged.insert(merged.end(), usable.records.begin(), usable.records.end());
        if (auto saved = accountStore.save(merged); !saved) {
            for (const auto& id : usable.added) {
                (void)secretStore.remove(id);
            }
            return fail(InboxImportError::accounts(saved.error()));
        }
    }
    std::set<UUID> allTaken = taken;
    allTaken.insert(plan.taken.begin(), plan.taken.end());
    takenStore.set(allTaken);
    const auto addedCount = static_cast<std::int64_t>(usable.titles.size());
    return InboxImportReport{std::move(usable.titles),
                             static_cast<std::int64_t>(plan.taken.size()) - addedCount};
}

std::string sha256Hex(std::span<const std::uint8_t> bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1) {
        return {};
    }
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(length * 2);
    for (unsigned int index = 0; index < length; ++index) {
        text.push_back(digits[digest[index] >> 4]);
        text.push_back(digits[digest[index] & 0x0F]);
    }
    return text;
}

InboxCheckOutcome importInbox(const std::optional<std::string>& lastHash,
                              BackupFileStore& fileStore, AccountStore& accountStore,
                              GroupStore& groupStore, SecretStore& secretStore,
                              BackupKeyStore& keyStore, InboxTakenStore& takenStore,
                              const std::optional<FileStamp>& failedStamp) {
    // Taken before the read: should the file change in between, the stamp is an older one's
    // and the next check reads the file again.
    const auto stamp = fileStore.inboxStamp();
    if (failedStamp && stamp == failedStamp) {
        return InboxCheckOutcome::unchanged();
    }
    const auto inbox = fileStore.readInbox();
    if (!inbox || !*inbox) {
        return InboxCheckOutcome::unchanged();
    }
    std::string hash = sha256Hex(**inbox);
    if (lastHash && hash == *lastHash) {
        return InboxCheckOutcome::unchanged();
    }
    auto report = run(**inbox, accountStore, groupStore, secretStore, keyStore, takenStore);
    if (!report) {
        return InboxCheckOutcome::failed(report.error(),
                                         isTheFilesFault(report.error()) ? stamp : std::nullopt);
    }
    return InboxCheckOutcome::imported(std::move(*report), std::move(hash));
}

} // namespace InboxImportFlow
} // namespace zemlar
