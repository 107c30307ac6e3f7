// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/GroupFlows.hpp"

#include "ZemlarKit/StoreGate.hpp"

#include <functional>

namespace zemlar::GroupFlows {
namespace {

using Change = std::function<Result<Groups, GroupListError>(const Groups&)>;

Result<Groups, GroupFlowError> updateList(GroupStore& groupStore, const Change& change) {
    const StoreGate::Hold hold;
    auto loaded = groupStore.load();
    if (!loaded) {
        return fail(GroupFlowError::groups(loaded.error()));
    }
    auto changed = change(*loaded);
    if (!changed) {
        return fail(GroupFlowError::list(changed.error()));
    }
    if (auto saved = groupStore.save(*changed); !saved) {
        return fail(GroupFlowError::groups(saved.error()));
    }
    return std::move(*changed);
}

std::string_view storeText(const AccountStoreError& error, std::string_view corrupted) {
    return error.kind() == AccountStoreError::Kind::corrupted ? corrupted
                                                              : "Couldn't save the changes";
}

} // namespace

Result<Groups, GroupFlowError> add(std::string_view name, const UUID& id, GroupStore& groupStore) {
    return updateList(groupStore,
                      [&](const Groups& list) { return GroupList::adding(name, id, list); });
}

Result<Groups, GroupFlowError> rename(const UUID& id, std::string_view name,
                                      GroupStore& groupStore) {
    return updateList(groupStore,
                      [&](const Groups& list) { return GroupList::renaming(id, name, list); });
}

Result<Groups, GroupFlowError> remove(const UUID& id, GroupStore& groupStore,
                                      AccountStore& accountStore) {
    const StoreGate::Hold hold;
    auto accounts = accountStore.load();
    if (!accounts) {
        return fail(GroupFlowError::accounts(accounts.error()));
    }
    const Accounts ungrouped = AccountList::ungrouping(id, *accounts);
    if (ungrouped != *accounts) {
        if (auto saved = accountStore.save(ungrouped); !saved) {
            return fail(GroupFlowError::accounts(saved.error()));
        }
    }
    return updateList(groupStore, [&](const Groups& list) -> Result<Groups, GroupListError> {
        return GroupList::removing(id, list);
    });
}

std::string_view userText(const GroupFlowError& error) {
    switch (error.kind()) {
    case GroupFlowError::Kind::groups:
        return storeText(error.storeError(), "The group list file is corrupted");
    case GroupFlowError::Kind::accounts:
        return storeText(error.storeError(), "The account list file is corrupted");
    case GroupFlowError::Kind::list:
        switch (error.listError().kind()) {
        case GroupListError::Kind::emptyName:
            return "Enter a group name";
        case GroupListError::Kind::duplicateName:
            return "A group with this name already exists";
        case GroupListError::Kind::notFound:
            return "The group has already been deleted";
        }
    }
    return "Couldn't save the changes";
}

} // namespace zemlar::GroupFlows
