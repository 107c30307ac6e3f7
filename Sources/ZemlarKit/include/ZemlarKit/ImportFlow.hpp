// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountStore.hpp"
#include "ZemlarKit/GroupStore.hpp"
#include "ZemlarKit/ImportReport.hpp"
#include "ZemlarKit/SecretStore.hpp"

#include <OTPCore/Date.hpp>
#include <OTPCore/ImportBatch.hpp>
#include <functional>

/// Makes accounts of a parsed import batch.
namespace zemlar::ImportFlow {

/// Adds every entry that is not already stored, with an identifier from `makeID` and `now` as
/// creation time, all at once through AccountFlows::addAll. An entry is a duplicate of an
/// account (one planned earlier in the run included) with the same issuer, name and parameters
/// whose secret can be read and has the same bytes. Entries that could not be stored become
/// skips, in entry order with the duplicates; never fails as a whole.
ImportReport run(const ImportBatch& batch, Date now, const std::function<UUID()>& makeID,
                 AccountStore& accountStore, SecretStore& secretStore);

/// The same, filing each added account under the group its entry names: the stored group whose
/// name is the same (as group names compare), or else a new one. An account whose group cannot
/// be stored is added without a group.
ImportReport run(const ImportBatch& batch, Date now, const std::function<UUID()>& makeID,
                 AccountStore& accountStore, SecretStore& secretStore, GroupStore& groupStore);

/// The same with fresh random identifiers.
ImportReport run(const ImportBatch& batch, Date now, AccountStore& accountStore,
                 SecretStore& secretStore);
ImportReport run(const ImportBatch& batch, Date now, AccountStore& accountStore,
                 SecretStore& secretStore, GroupStore& groupStore);

} // namespace zemlar::ImportFlow
