// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountStore.hpp"

#include <filesystem>

namespace zemlar {

/// The account list as "accounts.json" (AccountsCodec), written atomically and private to the
/// user (folder 0700, file 0600).
class FileAccountStore : public AccountStore {
public:
    explicit FileAccountStore(std::filesystem::path fileURL) : fileURL(std::move(fileURL)) {}

    /// $XDG_DATA_HOME/Zemlar/accounts.json (XDG_DATA_HOME defaults to ~/.local/share).
    static std::filesystem::path defaultFileURL();

    Result<Accounts, AccountStoreError> load() override;
    Result<void, AccountStoreError> save(const Accounts& accounts) override;

    std::filesystem::path fileURL;
};

} // namespace zemlar
