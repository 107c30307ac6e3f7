// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/AccountGroup.hpp"
#include "OTPCore/Result.hpp"

#include <string_view>
#include <unordered_map>

namespace zemlar {

class GroupListError {
public:
    enum class Kind { emptyName, duplicateName, notFound };

    static GroupListError emptyName() { return GroupListError(Kind::emptyName); }
    static GroupListError duplicateName() { return GroupListError(Kind::duplicateName); }
    static GroupListError notFound() { return GroupListError(Kind::notFound); }

    Kind kind() const { return kind_; }
    std::string describe() const;

    bool operator==(const GroupListError&) const = default;

private:
    explicit GroupListError(Kind kind) : kind_(kind) {}
    Kind kind_;
};

struct GroupMerge {
    Groups groups;
    /// Incoming group identifier → the identifier of the group it became.
    std::unordered_map<UUID, UUID> mapping;
};

/// Pure operations on the group list. No two groups share a name under nameKey, and no name is
/// empty after trimming.
namespace GroupList {

/// The comparison key of a group name: trimmed, case and diacritics folded.
std::string nameKey(std::string_view name);

/// Appends a group with the trimmed name; emptyName or duplicateName otherwise.
Result<Groups, GroupListError> adding(std::string_view name, const UUID& id, const Groups& list);

/// notFound first; then the name rules, the group itself excluded from the duplicate check.
Result<Groups, GroupListError> renaming(const UUID& id, std::string_view name, const Groups& list);

Groups removing(const UUID& id, const Groups& list);

/// Ordered by name in the file-browser order; equal names keep their order.
Groups sorted(const Groups& list);

/// Folds incoming groups into the list: same identifier maps to itself, same name maps to the
/// existing group, anything else is added (or skipped, unmapped, when its name is empty).
GroupMerge merging(const Groups& incoming, const Groups& list);

} // namespace GroupList
} // namespace zemlar
