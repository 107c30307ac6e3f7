// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/GroupList.hpp"

#include "OTPCore/Unicode.hpp"

#include <algorithm>

namespace zemlar {

std::string GroupListError::describe() const {
    switch (kind_) {
    case Kind::emptyName:
        return "emptyName";
    case Kind::duplicateName:
        return "duplicateName";
    case Kind::notFound:
        return "notFound";
    }
    return "notFound";
}

namespace GroupList {
namespace {

const AccountGroup* groupNamed(std::string_view key, const Groups& list) {
    const auto found = std::find_if(list.begin(), list.end(), [key](const AccountGroup& group) {
        return nameKey(group.name) == key;
    });
    return found == list.end() ? nullptr : &*found;
}

const AccountGroup* groupWithID(const UUID& id, const Groups& list) {
    const auto found = std::find_if(list.begin(), list.end(),
                                    [&id](const AccountGroup& group) { return group.id == id; });
    return found == list.end() ? nullptr : &*found;
}

// The trimmed name when no other group than `excluded` already has it.
Result<std::string, GroupListError>
validatedName(std::string_view name, const std::optional<UUID>& excluded, const Groups& list) {
    std::string trimmedName = Unicode::trimmed(name);
    if (trimmedName.empty()) {
        return fail(GroupListError::emptyName());
    }
    const AccountGroup* namesake = groupNamed(Unicode::folded(trimmedName), list);
    if (namesake != nullptr && (!excluded || namesake->id != *excluded)) {
        return fail(GroupListError::duplicateName());
    }
    return trimmedName;
}

} // namespace

std::string nameKey(std::string_view name) {
    return Unicode::folded(Unicode::trimmed(name));
}

Result<Groups, GroupListError> adding(std::string_view name, const UUID& id, const Groups& list) {
    auto validName = validatedName(name, std::nullopt, list);
    if (!validName) {
        return fail(validName.error());
    }
    Groups extended = list;
    extended.push_back(AccountGroup{.id = id, .name = std::move(*validName)});
    return extended;
}

Result<Groups, GroupListError> renaming(const UUID& id, std::string_view name, const Groups& list) {
    if (groupWithID(id, list) == nullptr) {
        return fail(GroupListError::notFound());
    }
    auto validName = validatedName(name, id, list);
    if (!validName) {
        return fail(validName.error());
    }
    Groups changed = list;
    const auto target = std::find_if(changed.begin(), changed.end(),
                                     [&id](const AccountGroup& group) { return group.id == id; });
    target->name = std::move(*validName);
    return changed;
}

Groups removing(const UUID& id, const Groups& list) {
    Groups remaining;
    remaining.reserve(list.size());
    std::copy_if(list.begin(), list.end(), std::back_inserter(remaining),
                 [&id](const AccountGroup& group) { return group.id != id; });
    return remaining;
}

Groups sorted(const Groups& list) {
    Groups ordered = list;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const AccountGroup& left, const AccountGroup& right) {
                         return Unicode::localizedStandardCompare(left.name, right.name) < 0;
                     });
    return ordered;
}

GroupMerge merging(const Groups& incoming, const Groups& list) {
    GroupMerge merge{.groups = list, .mapping = {}};
    for (const AccountGroup& group : incoming) {
        if (groupWithID(group.id, merge.groups) != nullptr) {
            merge.mapping[group.id] = group.id;
        } else if (const AccountGroup* namesake = groupNamed(nameKey(group.name), merge.groups)) {
            merge.mapping[group.id] = namesake->id;
        } else if (auto extended = adding(group.name, group.id, merge.groups)) {
            merge.groups = std::move(*extended);
            merge.mapping[group.id] = group.id;
        }
    }
    return merge;
}

} // namespace GroupList
} // namespace zemlar
