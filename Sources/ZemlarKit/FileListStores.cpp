// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/FileAccountStore.hpp"
#include "ZemlarKit/FileGroupStore.hpp"
#include "ZemlarKit/ListFile.hpp"

#include <OTPCore/AccountsCodec.hpp>
#include <OTPCore/GroupsCodec.hpp>

namespace zemlar {
namespace {

template <class List, class Decode>
Result<List, AccountStoreError> loadList(const std::filesystem::path& file, Decode decode) {
    auto bytes = ListFile::read(file);
    if (!bytes) {
        return fail(bytes.error());
    }
    if (!bytes->has_value()) {
        return List{};
    }
    auto list = decode(**bytes);
    if (!list) {
        return fail(AccountStoreError::corrupted(list.error()));
    }
    return std::move(*list);
}

template <class Encoded>
Result<void, AccountStoreError> saveList(const std::filesystem::path& file, const Encoded& bytes) {
    if (!bytes) {
        return fail(AccountStoreError::writeFailed());
    }
    return ListFile::write(file, *bytes);
}

} // namespace

std::filesystem::path FileAccountStore::defaultFileURL() {
    return ListFile::dataFolder() / "accounts.json";
}

Result<Accounts, AccountStoreError> FileAccountStore::load() {
    return loadList<Accounts>(fileURL,
                              [](const Bytes& bytes) { return AccountsCodec::decode(bytes); });
}

Result<void, AccountStoreError> FileAccountStore::save(const Accounts& accounts) {
    return saveList(fileURL, AccountsCodec::encode(accounts));
}

std::filesystem::path FileGroupStore::defaultFileURL() {
    return FileAccountStore::defaultFileURL().parent_path() / "groups.json";
}

Result<Groups, AccountStoreError> FileGroupStore::load() {
    return loadList<Groups>(fileURL, [](const Bytes& bytes) { return GroupsCodec::decode(bytes); });
}

Result<void, AccountStoreError> FileGroupStore::save(const Groups& groups) {
    return saveList(fileURL, GroupsCodec::encode(groups));
}

} // namespace zemlar
