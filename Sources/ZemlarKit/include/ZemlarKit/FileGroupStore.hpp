// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/GroupStore.hpp"

#include <filesystem>

namespace zemlar {

/// The group list as "groups.json" (GroupsCodec), next to the account file.
class FileGroupStore : public GroupStore {
public:
    explicit FileGroupStore(std::filesystem::path fileURL) : fileURL(std::move(fileURL)) {}

    /// "groups.json" in the folder of FileAccountStore::defaultFileURL().
    static std::filesystem::path defaultFileURL();

    Result<Groups, AccountStoreError> load() override;
    Result<void, AccountStoreError> save(const Groups& groups) override;

    std::filesystem::path fileURL;
};

} // namespace zemlar
