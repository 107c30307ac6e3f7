// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/AccountFlows.hpp"

#include "ZemlarKit/StoreGate.hpp"

#include <functional>

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
