// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/ImportFlow.hpp"

#include "ZemlarKit/AccountFlows.hpp"
#include "ZemlarKit/RandomBytes.hpp"
#include "ZemlarKit/StoreGate.hpp"

#include <OTPCore/Crypto.hpp>
#include <algorithm>

namespace zemlar::ImportFlow {

namespace {

bool isDuplicate(const OTPAuthEntry& entry, const Accounts& accounts, SecretStore& secretStore) {
    for (const auto& account : accounts) {
        if (account.issuer != entry.issuer || account.name != entry.name ||
            account.parameters != entry.parameters) {
            continue;
        }
        auto stored = secretStore.read(account.id);
        if (!stored) {
            continue;
        }
        const bool same = *stored == entry.secret;
        Crypto::wipe(*stored);
        if (same) {
            return true;
        }
    }
    return false;
}

} // namespace

ImportReport run(const ImportBatch& batch, Date now, const std::function<UUID()>& makeID,
                 AccountStore& accountStore, SecretStore& secretStore) {
    const StoreGate::Hold hold;
    auto loaded = accountStore.load();
    Accounts current = loaded ? std::move(*loaded) : Accounts{};
    ImportReport report{{}, {}, batch.skipped, batch.migrationParts};
    for (const auto& entry : batch.entries) {
        std::string title = AccountTitle::make(entry.issuer, entry.name);
        if (isDuplicate(entry, current, secretStore)) {
            report.skipped.push_back({std::move(title), ImportSkipReason::duplicate});
            continue;
        }
        const UUID id = makeID();
        auto added = AccountFlows::add(entry, id, now, accountStore, secretStore);
        if (!added) {
            report.skipped.push_back({std::move(title), ImportSkipReason::storageFailed});
            continue;
        }
        current = std::move(*added);
        report.imported.push_back(std::move(title));
        report.importedIDs.push_back(id);
    }
    return report;
}

ImportReport run(const ImportBatch& batch, Date now, AccountStore& accountStore,
                 SecretStore& secretStore) {
    return run(batch, now, RandomBytes::uuid, accountStore, secretStore);
}

} // namespace zemlar::ImportFlow
