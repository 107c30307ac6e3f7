// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/AccountFlows.hpp"

#include "ZemlarKit/StoreGate.hpp"
#include "ZemlarKit/WipedSecrets.hpp"

#include <functional>
#include <set>

namespace zemlar::AccountFlows {
namespace {

using Change = std::function<Result<Accounts, AccountListError>(const Accounts&)>;

/// Load, one list operation, save: the shared shape of the changes that touch no secret.
Result<Accounts, AccountFlowError> updateList(AccountStore& accountStore, const Change& change) {
    const StoreGate::Hold hold;
    auto loaded = accountStore.load();
    if (!loaded) {
        return fail(AccountFlowError::accounts(loaded.error()));
    }
    auto changed = change(*loaded);
    if (!changed) {
        return fail(AccountFlowError::list(changed.error()));
    }
    if (auto saved = accountStore.save(*changed); !saved) {
        return fail(AccountFlowError::accounts(saved.error()));
    }
    return std::move(*changed);
}

/// The accounts of a batch that go into the list, with their secrets, before anything is
/// written.
struct Staged {
    Accounts list;
    SecretMap secrets;
};

/// Appends every account whose identifier is new to the list, as AccountList::adding does one
/// by one, without copying the list for each; the others fail with duplicateID.
Staged staged(const std::vector<NewAccount>& accounts, Date now, const Accounts& loaded,
              std::vector<std::optional<AccountFlowError>>& failures) {
    Staged staging{loaded, {}};
    std::set<UUID> taken;
    for (const auto& account : loaded) {
        taken.insert(account.id);
    }
    for (std::size_t index = 0; index < accounts.size(); ++index) {
        const auto& [entry, id, groupID] = accounts[index];
        if (!taken.insert(id).second) {
            failures[index] = AccountFlowError::list(AccountListError::duplicateID());
            continue;
        }
        staging.list.push_back(entry.account(id, now));
        staging.list.back().groupID = groupID;
        staging.secrets.emplace(id, entry.secret);
    }
    return staging;
}

/// Marks the accounts of the identifiers that have not failed yet as failed with `error`.
template <class Identifiers>
void failEach(const std::vector<NewAccount>& accounts, const Identifiers& ids,
              const AccountFlowError& error,
              std::vector<std::optional<AccountFlowError>>& failures) {
    for (std::size_t index = 0; index < accounts.size(); ++index) {
        if (!failures[index] && ids.contains(accounts[index].id)) {
            failures[index] = error;
        }
    }
}

/// Takes back the secrets a batch added (all staged but those already present), after its list
/// could not be saved. Failures to remove are not reported: the save's failure is.
void removeAdded(const SecretMap& staged, const std::set<UUID>& present, SecretStore& secretStore) {
    for (const auto& [id, secret] : staged) {
        if (!present.contains(id)) {
            (void)secretStore.remove(id);
        }
    }
}

} // namespace

Result<Accounts, AccountFlowError> add(const OTPAuthEntry& entry, const UUID& id, Date now,
                                       AccountStore& accountStore, SecretStore& secretStore) {
    const StoreGate::Hold hold;
    auto loaded = accountStore.load();
    if (!loaded) {
        return fail(AccountFlowError::accounts(loaded.error()));
    }
    auto added = AccountList::adding(entry.account(id, now), *loaded);
    if (!added) {
        return fail(AccountFlowError::list(added.error()));
    }
    if (auto stored = secretStore.add(entry.secret, id); !stored) {
        return fail(AccountFlowError::secrets(stored.error()));
    }
    if (auto saved = accountStore.save(*added); !saved) {
        (void)secretStore.remove(id);
        return fail(AccountFlowError::accounts(saved.error()));
    }
    return std::move(*added);
}

AddedAccounts addAll(const std::vector<NewAccount>& accounts, Date now, AccountStore& accountStore,
                     SecretStore& secretStore) {
    const StoreGate::Hold hold;
    AddedAccounts outcome{{}, std::vector<std::optional<AccountFlowError>>(accounts.size())};
    auto loaded = accountStore.load();
    if (!loaded) {
        outcome.failures.assign(accounts.size(), AccountFlowError::accounts(loaded.error()));
        return outcome;
    }
    outcome.accounts = std::move(*loaded);
    Staged staging = staged(accounts, now, outcome.accounts, outcome.failures);
    const WipedSecrets secrets(std::move(staging.secrets));
    if (secrets.map().empty()) {
        return outcome;
    }
    const auto present = secretStore.addAll(secrets.map());
    if (!present) {
        failEach(accounts, secrets.map(), AccountFlowError::secrets(present.error()),
                 outcome.failures);
        return outcome;
    }
    failEach(accounts, *present, AccountFlowError::secrets(SecretStoreError::duplicate()),
             outcome.failures);
    for (const auto& id : *present) {
        staging.list = AccountList::removing(id, staging.list);
    }
    if (present->size() == secrets.map().size()) {
        return outcome;
    }
    if (auto saved = accountStore.save(staging.list); !saved) {
        removeAdded(secrets.map(), *present, secretStore);
        failEach(accounts, secrets.map(), AccountFlowError::accounts(saved.error()),
                 outcome.failures);
        return outcome;
    }
    outcome.accounts = std::move(staging.list);
    return outcome;
}

Result<Accounts, AccountFlowError> remove(const UUID& id, AccountStore& accountStore,
                                          SecretStore& secretStore) {
    const StoreGate::Hold hold;
    auto loaded = accountStore.load();
    if (!loaded) {
        return fail(AccountFlowError::accounts(loaded.error()));
    }
    if (auto removed = secretStore.remove(id); !removed) {
        return fail(AccountFlowError::secrets(removed.error()));
    }
    Accounts remaining = AccountList::removing(id, *loaded);
    if (auto saved = accountStore.save(remaining); !saved) {
        return fail(AccountFlowError::accounts(saved.error()));
    }
    return remaining;
}

Result<Accounts, AccountFlowError> rename(const UUID& id, std::string_view issuer,
                                          std::string_view name, AccountStore& accountStore) {
    return updateList(accountStore, [&](const Accounts& list) {
        return AccountList::renaming(id, issuer, name, list);
    });
}

Result<Accounts, AccountFlowError> edit(const UUID& id, std::string_view issuer,
                                        std::string_view name, std::vector<std::string> domains,
                                        std::optional<UUID> groupID,
                                        std::optional<bool> pressesReturn,
                                        AccountStore& accountStore) {
    return updateList(accountStore,
                      [&](const Accounts& list) -> Result<Accounts, AccountListError> {
                          auto renamed = AccountList::renaming(id, issuer, name, list);
                          if (!renamed) {
                              return renamed;
                          }
                          auto withDomains = AccountList::settingDomains(id, domains, *renamed);
                          if (!withDomains) {
                              return withDomains;
                          }
                          auto grouped = AccountList::settingGroup(id, groupID, *withDomains);
                          if (!grouped || !pressesReturn) {
                              return grouped;
                          }
                          return AccountList::settingPressesReturn(id, *pressesReturn, *grouped);
                      });
}

Result<Accounts, AccountFlowError> setGroup(const UUID& id, std::optional<UUID> groupID,
                                            AccountStore& accountStore) {
    return updateList(accountStore, [&](const Accounts& list) {
        return AccountList::settingGroup(id, groupID, list);
    });
}

Result<Accounts, AccountFlowError> recordUse(const UUID& id, Date now, AccountStore& accountStore) {
    return updateList(accountStore, [&](const Accounts& list) {
        return AccountList::recordingUse(id, now, list);
    });
}

std::string_view userText(const AccountFlowError& error) {
    constexpr std::string_view couldNotSave = "Couldn't save the changes";
    switch (error.kind()) {
    case AccountFlowError::Kind::accounts:
        return error.accountsError().kind() == AccountStoreError::Kind::corrupted
                   ? "The account list file is corrupted"
                   : couldNotSave;
    case AccountFlowError::Kind::secrets:
        return "Keychain access error";
    case AccountFlowError::Kind::list:
        switch (error.listError().kind()) {
        case AccountListError::Kind::duplicateID:
            return couldNotSave;
        case AccountListError::Kind::notFound:
            return "The account has already been deleted";
        case AccountListError::Kind::emptyTitle:
            return "Enter an issuer or a name";
        }
    }
    return couldNotSave;
}

} // namespace zemlar::AccountFlows
