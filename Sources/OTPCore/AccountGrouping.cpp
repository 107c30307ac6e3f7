// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/AccountGrouping.hpp"

#include "OTPCore/GroupList.hpp"
#include "OTPCore/Unicode.hpp"

#include <algorithm>
#include <unordered_set>

namespace zemlar::AccountGrouping {
namespace {

Accounts sortedByTitle(const Accounts& accounts) {
    struct Titled {
        std::string title;
        const Account* account;
    };
    std::vector<Titled> titled;
    titled.reserve(accounts.size());
    for (const Account& account : accounts) {
        titled.push_back({AccountTitle::make(account), &account});
    }
    std::stable_sort(titled.begin(), titled.end(), [](const Titled& left, const Titled& right) {
        return Unicode::localizedStandardCompare(left.title, right.title) < 0;
    });
    Accounts ordered;
    ordered.reserve(accounts.size());
    for (const Titled& entry : titled) {
        ordered.push_back(*entry.account);
    }
    return ordered;
}

} // namespace

std::vector<AccountSection> sections(const Accounts& accounts, const Groups& groups) {
    std::unordered_set<UUID> groupIDs;
    for (const AccountGroup& group : groups) {
        groupIDs.insert(group.id);
    }
    const Accounts ordered = sortedByTitle(accounts);
    std::vector<AccountSection> result;
    for (const AccountGroup& group : GroupList::sorted(groups)) {
        AccountSection section{.group = group, .accounts = {}};
        std::copy_if(ordered.begin(), ordered.end(), std::back_inserter(section.accounts),
                     [&group](const Account& account) { return account.groupID == group.id; });
        result.push_back(std::move(section));
    }
    AccountSection ungrouped{.group = std::nullopt, .accounts = {}};
    std::copy_if(ordered.begin(), ordered.end(), std::back_inserter(ungrouped.accounts),
                 [&groupIDs](const Account& account) {
                     return !account.groupID || !groupIDs.contains(*account.groupID);
                 });
    if (!ungrouped.accounts.empty()) {
        result.push_back(std::move(ungrouped));
    }
    return result;
}

std::optional<std::string> groupName(const Account& account, const Groups& groups) {
    if (!account.groupID) {
        return std::nullopt;
    }
    const auto found =
        std::find_if(groups.begin(), groups.end(), [&account](const AccountGroup& group) {
            return group.id == *account.groupID;
        });
    if (found == groups.end()) {
        return std::nullopt;
    }
    return found->name;
}

} // namespace zemlar::AccountGrouping
