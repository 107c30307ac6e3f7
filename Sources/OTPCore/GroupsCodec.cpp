// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/GroupsCodec.hpp"

#include "OTPCore/JSONCoding.hpp"

namespace zemlar::GroupsCodec {

using JSONCoding::JSON;

Result<Bytes, AccountsCodecError> encode(const Groups& groups) {
    JSON items = JSON::array();
    for (const AccountGroup& group : groups) {
        items.push_back(JSON{{"id", group.id.uuidString()}, {"name", group.name}});
    }
    return JSONCoding::versionedDocument(std::move(items), "groups", currentVersion);
}

Result<Groups, AccountsCodecError> decode(std::span<const std::uint8_t> bytes) {
    const auto items = JSONCoding::versionedList(bytes, "groups", currentVersion);
    if (!items) {
        return fail(items.error());
    }
    Groups groups;
    groups.reserve(items->size());
    for (const JSON& item : *items) {
        const auto id = JSONCoding::uuid(item, "id");
        auto name = JSONCoding::string(item, "name");
        if (!id || !name) {
            return fail(AccountsCodecError::malformed());
        }
        groups.push_back(AccountGroup{.id = *id, .name = std::move(*name)});
    }
    return groups;
}

} // namespace zemlar::GroupsCodec
