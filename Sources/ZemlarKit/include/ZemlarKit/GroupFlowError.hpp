// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountStoreError.hpp"

#include <OTPCore/GroupList.hpp>
#include <string>

namespace zemlar {

/// The error of a group flow: the group file, the account file or the list operation.
class GroupFlowError {
public:
    enum class Kind { groups, accounts, list };

    static GroupFlowError groups(AccountStoreError error) {
        return {Kind::groups, error, GroupListError::notFound()};
    }
    static GroupFlowError accounts(AccountStoreError error) {
        return {Kind::accounts, error, GroupListError::notFound()};
    }
    static GroupFlowError list(GroupListError error) {
        return {Kind::list, AccountStoreError::readFailed(), error};
    }

    Kind kind() const { return kind_; }
    /// The file's error, for groups and accounts.
    const AccountStoreError& storeError() const { return storeError_; }
    /// The list operation's error, for list.
    const GroupListError& listError() const { return listError_; }
    std::string describe() const;

    bool operator==(const GroupFlowError&) const = default;

private:
    GroupFlowError(Kind kind, AccountStoreError storeError, GroupListError listError)
        : kind_(kind), storeError_(storeError), listError_(listError) {}

    Kind kind_;
    AccountStoreError storeError_;
    GroupListError listError_;
};

} // namespace zemlar
