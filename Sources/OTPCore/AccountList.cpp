// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/AccountList.hpp"

#include "OTPCore/Unicode.hpp"

#include <algorithm>
#include <limits>

namespace zemlar {

std::string AccountListError::describe() const {
    switch (kind_) {
    case Kind::duplicateID:
        return "duplicateID";
    case Kind::notFound:
        return "notFound";
    case Kind::emptyTitle:
        return "emptyTitle";
    }
    return "notFound";
}

namespace AccountList {
namespace {

// Applies `change` to the first account with the identifier in a copy of the list.
template <class Change>
Result<Accounts, AccountListError> changing(const UUID& id, const Accounts& list, Change change) {
    const auto found = std::find_if(list.begin(), list.end(),
                                    [&id](const Account& account) { return account.id == id; });
    if (found == list.end()) {
        return fail(AccountListError::notFound());
    }
    Accounts changed = list;
    change(changed[static_cast<std::size_t>(found - list.begin())]);
    return changed;
}

} // namespace

Result<Accounts, AccountListError> adding(const Account& account, const Accounts& list) {
    const bool taken = std::any_of(list.begin(), list.end(), [&account](const Account& other) {
        return other.id == account.id;
    });
    if (taken) {
        return fail(AccountListError::duplicateID());
    }
    Accounts extended = list;
    extended.push_back(account);
    return extended;
}

Accounts removing(const UUID& id, const Accounts& list) {
    Accounts remaining;
    remaining.reserve(list.size());
    std::copy_if(list.begin(), list.end(), std::back_inserter(remaining),
                 [&id](const Account& account) { return account.id != id; });
    return remaining;
}

Result<Accounts, AccountListError> renaming(const UUID& id, std::string_view issuer,
                                            std::string_view name, const Accounts& list) {
    std::string trimmedIssuer = Unicode::trimmed(issuer);
    std::string trimmedName = Unicode::trimmed(name);
    if (trimmedIssuer.empty() && trimmedName.empty()) {
        return fail(AccountListError::emptyTitle());
    }
    return changing(id, list, [&](Account& account) {
        account.issuer = std::move(trimmedIssuer);
        account.name = std::move(trimmedName);
    });
}

Result<Accounts, AccountListError> settingDomains(const UUID& id, std::vector<std::string> domains,
                                                  const Accounts& list) {
    return changing(id, list, [&](Account& account) { account.domains = std::move(domains); });
}

Result<Accounts, AccountListError> settingPressesReturn(const UUID& id, bool pressesReturn,
                                                        const Accounts& list) {
    return changing(id, list, [&](Account& account) { account.pressesReturn = pressesReturn; });
}

Result<Accounts, AccountListError> settingGroup(const UUID& id, std::optional<UUID> groupID,
                                                const Accounts& list) {
    return changing(id, list, [&](Account& account) { account.groupID = groupID; });
}

Accounts ungrouping(const UUID& groupID, const Accounts& list) {
    Accounts changed = list;
    for (Account& account : changed) {
        if (account.groupID == groupID) {
            account.groupID.reset();
        }
    }
    return changed;
}

Result<Accounts, AccountListError> recordingUse(const UUID& id, Date at, const Accounts& list) {
    return changing(id, list, [&](Account& account) {
        account.lastUsedAt = at;
        if (account.useCount < std::numeric_limits<std::int64_t>::max()) {
            account.useCount += 1;
        }
    });
}

} // namespace AccountList
} // namespace zemlar
