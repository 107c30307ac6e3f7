// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/AccountsCodec.hpp"

#include "OTPCore/JSONCoding.hpp"

namespace zemlar::AccountsCodec {
namespace {

using JSONCoding::JSON;

std::optional<JSON> encodeAccount(const Account& account) {
    const auto createdAt = account.createdAt.iso8601();
    if (!createdAt) {
        return std::nullopt;
    }
    JSON object{
        {"id", account.id.uuidString()}, {"issuer", account.issuer},
        {"name", account.name},          {"parameters", JSONCoding::encode(account.parameters)},
        {"createdAt", *createdAt},       {"useCount", account.useCount},
        {"domains", account.domains},    {"pressesReturn", account.pressesReturn}};
    if (account.lastUsedAt) {
        const auto lastUsedAt = account.lastUsedAt->iso8601();
        if (!lastUsedAt) {
            return std::nullopt;
        }
        object["lastUsedAt"] = *lastUsedAt;
    }
    if (account.groupID) {
        object["groupID"] = account.groupID->uuidString();
    }
    return object;
}

// Optional members: absent (or null) means the default; present with a wrong type fails.
std::optional<std::optional<Date>> optionalDate(const JSON& object, std::string_view key) {
    if (JSONCoding::isAbsent(object, key)) {
        return std::optional<Date>();
    }
    const auto value = JSONCoding::date(object, key);
    return value ? std::optional<std::optional<Date>>(value) : std::nullopt;
}

std::optional<std::optional<UUID>> optionalUUID(const JSON& object, std::string_view key) {
    if (JSONCoding::isAbsent(object, key)) {
        return std::optional<UUID>();
    }
    const auto value = JSONCoding::uuid(object, key);
    return value ? std::optional<std::optional<UUID>>(value) : std::nullopt;
}

std::optional<std::vector<std::string>> domainsOf(const JSON& object) {
    if (JSONCoding::isAbsent(object, "domains")) {
        return std::vector<std::string>();
    }
    const JSON& array = object.at("domains");
    if (!array.is_array()) {
        return std::nullopt;
    }
    std::vector<std::string> domains;
    domains.reserve(array.size());
    for (const JSON& domain : array) {
        if (!domain.is_string()) {
            return std::nullopt;
        }
        domains.push_back(domain.get<std::string>());
    }
    return domains;
}

std::optional<bool> pressesReturnOf(const JSON& object) {
    if (JSONCoding::isAbsent(object, "pressesReturn")) {
        return false;
    }
    return JSONCoding::boolean(object, "pressesReturn");
}

std::optional<Account> decodeAccount(const JSON& object) {
    const auto id = JSONCoding::uuid(object, "id");
    auto issuer = JSONCoding::string(object, "issuer");
    auto name = JSONCoding::string(object, "name");
    const auto parametersValue = JSONCoding::parametersMember(object, "parameters");
    const auto createdAt = JSONCoding::date(object, "createdAt");
    const auto lastUsedAt = optionalDate(object, "lastUsedAt");
    const auto useCount = JSONCoding::integer(object, "useCount");
    auto domains = domainsOf(object);
    const auto groupID = optionalUUID(object, "groupID");
    const auto pressesReturn = pressesReturnOf(object);
    if (!id || !issuer || !name || !parametersValue || !createdAt || !lastUsedAt || !useCount ||
        !domains || !groupID || !pressesReturn) {
        return std::nullopt;
    }
    return Account{.id = *id,
                   .issuer = std::move(*issuer),
                   .name = std::move(*name),
                   .parameters = *parametersValue,
                   .createdAt = *createdAt,
                   .lastUsedAt = *lastUsedAt,
                   .useCount = *useCount,
                   .domains = std::move(*domains),
                   .groupID = *groupID,
                   .pressesReturn = *pressesReturn};
}

} // namespace

Result<Bytes, AccountsCodecError> encode(const Accounts& accounts) {
    JSON items = JSON::array();
    for (const Account& account : accounts) {
        auto object = encodeAccount(account);
        if (!object) {
            return fail(AccountsCodecError::encodingFailed());
        }
        items.push_back(std::move(*object));
    }
    return JSONCoding::versionedDocument(std::move(items), "accounts", currentVersion);
}

Result<Accounts, AccountsCodecError> decode(std::span<const std::uint8_t> bytes) {
    const auto items = JSONCoding::versionedList(bytes, "accounts", currentVersion);
    if (!items) {
        return fail(items.error());
    }
    Accounts accounts;
    accounts.reserve(items->size());
    for (const JSON& item : *items) {
        auto account = decodeAccount(item);
        if (!account) {
            return fail(AccountsCodecError::malformed());
        }
        accounts.push_back(std::move(*account));
    }
    return accounts;
}

} // namespace zemlar::AccountsCodec
