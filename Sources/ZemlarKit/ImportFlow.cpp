// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/ImportFlow.hpp"

#include "ZemlarKit/AccountFlows.hpp"
#include "ZemlarKit/GroupFlows.hpp"
#include "ZemlarKit/RandomBytes.hpp"
#include "ZemlarKit/StoreGate.hpp"

#include <OTPCore/Crypto.hpp>
#include <OTPCore/GroupList.hpp>
#include <algorithm>
#include <map>

namespace zemlar::ImportFlow {

namespace {

/// The secrets of the accounts planned earlier in the run, which are not stored yet.
using PlannedSecrets = std::map<UUID, const Bytes*>;

bool hasSecret(const Account& account, const Bytes& secret, const PlannedSecrets& planned,
               SecretStore& secretStore) {
    if (const auto found = planned.find(account.id); found != planned.end()) {
        return *found->second == secret;
    }
    auto stored = secretStore.read(account.id);
    if (!stored) {
        return false;
    }
    const bool same = *stored == secret;
    Crypto::wipe(*stored);
    return same;
}

bool isDuplicate(const OTPAuthEntry& entry, const Accounts& accounts, const PlannedSecrets& planned,
                 SecretStore& secretStore) {
    return std::any_of(accounts.begin(), accounts.end(), [&](const Account& account) {
        return account.issuer == entry.issuer && account.name == entry.name &&
               account.parameters == entry.parameters &&
               hasSecret(account, entry.secret, planned, secretStore);
    });
}

/// The run before anything is written: per entry its title and whether it is to be added.
struct Plan {
    std::vector<std::string> titles;
    std::vector<bool> duplicate;
    std::vector<NewAccount> toAdd;
};

Plan plan(const ImportBatch& batch, Date now, const std::function<UUID()>& makeID, Accounts current,
          SecretStore& secretStore) {
    Plan planned;
    PlannedSecrets secrets;
    for (const auto& entry : batch.entries) {
        planned.titles.push_back(AccountTitle::make(entry.issuer, entry.name));
        const bool duplicate = isDuplicate(entry, current, secrets, secretStore);
        planned.duplicate.push_back(duplicate);
        if (!duplicate) {
            const UUID id = makeID();
            planned.toAdd.push_back({entry, id});
            secrets.emplace(id, &entry.secret);
            current.push_back(entry.account(id, now));
        }
    }
    return planned;
}

/// The identifiers of the stored groups by name key, with a new group for each name the
/// accounts are filed under that none has yet. A name whose group cannot be stored is left out.
std::map<std::string, UUID> groupsByName(const std::vector<NewAccount>& accounts,
                                         const std::function<UUID()>& makeID,
                                         GroupStore& groupStore) {
    std::map<std::string, UUID> groups;
    auto loaded = groupStore.load();
    if (!loaded) {
        return groups;
    }
    for (const auto& group : *loaded) {
        groups.emplace(GroupList::nameKey(group.name), group.id);
    }
    for (const auto& account : accounts) {
        const std::string key = GroupList::nameKey(account.entry.group);
        if (key.empty() || groups.contains(key)) {
            continue;
        }
        const UUID id = makeID();
        if (GroupFlows::add(account.entry.group, id, groupStore)) {
            groups.emplace(key, id);
        }
    }
    return groups;
}

void fileUnderGroups(std::vector<NewAccount>& accounts, const std::function<UUID()>& makeID,
                     GroupStore& groupStore) {
    const auto groups = groupsByName(accounts, makeID, groupStore);
    for (auto& account : accounts) {
        if (const auto found = groups.find(GroupList::nameKey(account.entry.group));
            found != groups.end()) {
            account.groupID = found->second;
        }
    }
}

ImportReport runFiling(const ImportBatch& batch, Date now, const std::function<UUID()>& makeID,
                       AccountStore& accountStore, SecretStore& secretStore,
                       GroupStore* groupStore) {
    const StoreGate::Hold hold;
    auto loaded = accountStore.load();
    Plan planned = plan(batch, now, makeID, loaded ? std::move(*loaded) : Accounts{}, secretStore);
    if (groupStore != nullptr) {
        fileUnderGroups(planned.toAdd, makeID, *groupStore);
    }
    // One write of the secrets and one save of the list for the whole run: each write of the
    // vault rewrites every secret, so adding the entries one by one grows with the square.
    const AddedAccounts added = AccountFlows::addAll(planned.toAdd, now, accountStore, secretStore);
    ImportReport report{{}, {}, batch.skipped, batch.migrationParts};
    std::size_t nextAdded = 0;
    for (std::size_t index = 0; index < planned.titles.size(); ++index) {
        std::string& title = planned.titles[index];
        if (planned.duplicate[index]) {
            report.skipped.push_back({std::move(title), ImportSkipReason::duplicate});
            continue;
        }
        const std::size_t slot = nextAdded++;
        if (added.failures[slot]) {
            report.skipped.push_back({std::move(title), ImportSkipReason::storageFailed});
        } else {
            report.imported.push_back(std::move(title));
            report.importedIDs.push_back(planned.toAdd[slot].id);
        }
    }
    return report;
}

} // namespace

ImportReport run(const ImportBatch& batch, Date now, const std::function<UUID()>& makeID,
                 AccountStore& accountStore, SecretStore& secretStore) {
    return runFiling(batch, now, makeID, accountStore, secretStore, nullptr);
}

ImportReport run(const ImportBatch& batch, Date now, const std::function<UUID()>& makeID,
                 AccountStore& accountStore, SecretStore& secretStore, GroupStore& groupStore) {
    return runFiling(batch, now, makeID, accountStore, secretStore, &groupStore);
}

ImportReport run(const ImportBatch& batch, Date now, AccountStore& accountStore,
                 SecretStore& secretStore) {
    return run(batch, now, RandomBytes::uuid, accountStore, secretStore);
}

ImportReport run(const ImportBatch& batch, Date now, AccountStore& accountStore,
                 SecretStore& secretStore, GroupStore& groupStore) {
    return run(batch, now, RandomBytes::uuid, accountStore, secretStore, groupStore);
}

} // namespace zemlar::ImportFlow
