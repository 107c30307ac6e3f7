// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Account.hpp"
#include "OTPCore/Result.hpp"

#include <string>
#include <vector>

namespace zemlar {

class AccountListError {
public:
    enum class Kind { duplicateID, notFound, emptyTitle };

    static AccountListError duplicateID() { return AccountListError(Kind::duplicateID); }
    static AccountListError notFound() { return AccountListError(Kind::notFound); }
    static AccountListError emptyTitle() { return AccountListError(Kind::emptyTitle); }

    Kind kind() const { return kind_; }
    std::string describe() const;

    bool operator==(const AccountListError&) const = default;

private:
    explicit AccountListError(Kind kind) : kind_(kind) {}
    Kind kind_;
};

using Accounts = std::vector<Account>;

/// Pure operations on the account list: each takes the whole list and returns a new one.
/// Lookups by identifier take the first match in list order.
namespace AccountList {

/// The list with the account appended; duplicateID when its identifier is taken.
Result<Accounts, AccountListError> adding(const Account& account, const Accounts& list);

/// The list without the account(s) of that identifier; no error when none matches.
Accounts removing(const UUID& id, const Accounts& list);

/// Stores issuer and name trimmed of white space and line breaks; emptyTitle when both are
/// empty after trimming (checked before the lookup), notFound for an unknown identifier.
Result<Accounts, AccountListError> renaming(const UUID& id, std::string_view issuer,
                                            std::string_view name, const Accounts& list);

Result<Accounts, AccountListError> settingDomains(const UUID& id, std::vector<std::string> domains,
                                                  const Accounts& list);

Result<Accounts, AccountListError> settingPressesReturn(const UUID& id, bool pressesReturn,
                                                        const Accounts& list);

/// Stores the group identifier (nothing ungroups); whether the group exists is not checked.
Result<Accounts, AccountListError> settingGroup(const UUID& id, std::optional<UUID> groupID,
                                                const Accounts& list);

/// Every account of that group loses its group.
Accounts ungrouping(const UUID& groupID, const Accounts& list);

/// Sets the last use to the moment and counts one more use.
Result<Accounts, AccountListError> recordingUse(const UUID& id, Date at, const Accounts& list);

} // namespace AccountList
} // namespace zemlar
