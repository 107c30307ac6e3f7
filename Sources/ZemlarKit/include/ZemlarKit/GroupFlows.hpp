// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountStore.hpp"
#include "ZemlarKit/GroupFlowError.hpp"
#include "ZemlarKit/GroupStore.hpp"

#include <string_view>

/// The changes of the group list; each returns the group list as saved.
namespace zemlar::GroupFlows {

Result<Groups, GroupFlowError> add(std::string_view name, const UUID& id, GroupStore& groupStore);

Result<Groups, GroupFlowError> rename(const UUID& id, std::string_view name,
                                      GroupStore& groupStore);

/// Moves the group's accounts to no group first (saving the account list only when that
/// changed it), then removes the group. A failed account save keeps the group.
Result<Groups, GroupFlowError> remove(const UUID& id, GroupStore& groupStore,
                                      AccountStore& accountStore);

/// The one English sentence (a localisation key) the screens show for the error.
std::string_view userText(const GroupFlowError& error);

} // namespace zemlar::GroupFlows
