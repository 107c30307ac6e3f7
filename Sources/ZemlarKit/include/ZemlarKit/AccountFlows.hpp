// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountFlowError.hpp"
#include "ZemlarKit/AccountStore.hpp"
#include "ZemlarKit/SecretStore.hpp"

#include <OTPCore/OTPAuthEntry.hpp>
#include <optional>
#include <string_view>
#include <vector>

namespace zemlar {

/// An account to add: the parsed entry it is made of, its new identifier and its group.
struct NewAccount {
    const OTPAuthEntry& entry;
    UUID id;
    std::optional<UUID> groupID = std::nullopt;
};

/// What adding several accounts at once did.
struct AddedAccounts {
    /// The list as saved; as loaded when nothing was saved, empty when it could not be loaded.
    Accounts accounts;
    /// Per account, in the order given: nothing when it was added, otherwise why it was not.
    std::vector<std::optional<AccountFlowError>> failures;
};

} // namespace zemlar

/// The changes of the account list. Each loads the list, applies one list operation, writes
/// what it must and returns the list as saved. No state; each holds the store gate from its load
/// to its last write, so changes never interleave. Run them off the main thread: the gate may
/// be held by a whole import.
namespace zemlar::AccountFlows {

/// Appends the entry's account: the secret is written first, then the list; a failed list save
/// removes the secret again. A duplicate identifier writes nothing.
Result<Accounts, AccountFlowError> add(const OTPAuthEntry& entry, const UUID& id, Date now,
                                       AccountStore& accountStore, SecretStore& secretStore);

/// Adds each account as `add` does, with one write of the secrets and one save of the list for
/// all of them. An account whose identifier is in the list already, or whose identifier has a
/// stored secret, is not added; a failed write or save adds none, and a failed save removes
/// the secrets written.
AddedAccounts addAll(const std::vector<NewAccount>& accounts, Date now, AccountStore& accountStore,
                     SecretStore& secretStore);

/// Deletes the secret (and recovery codes), then removes the account from the list. A failed
/// secret deletion leaves the list alone; an account already gone is no error.
Result<Accounts, AccountFlowError> remove(const UUID& id, AccountStore& accountStore,
                                          SecretStore& secretStore);

Result<Accounts, AccountFlowError> rename(const UUID& id, std::string_view issuer,
                                          std::string_view name, AccountStore& accountStore);

/// Renames, sets the domains and the group (nothing ungroups) and, only when given, whether
/// Return follows the code; stops at the first failure and then saves nothing.
Result<Accounts, AccountFlowError> edit(const UUID& id, std::string_view issuer,
                                        std::string_view name, std::vector<std::string> domains,
                                        std::optional<UUID> groupID,
                                        std::optional<bool> pressesReturn,
                                        AccountStore& accountStore);

Result<Accounts, AccountFlowError> setGroup(const UUID& id, std::optional<UUID> groupID,
                                            AccountStore& accountStore);

Result<Accounts, AccountFlowError> recordUse(const UUID& id, Date now, AccountStore& accountStore);

/// The one English sentence (a localisation key) the screens show for the error.
std::string_view userText(const AccountFlowError& error);

} // namespace zemlar::AccountFlows
