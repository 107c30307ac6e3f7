// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ZemlarKit/AccountStore.hpp>
#include <ZemlarKit/BackupKeyStore.hpp>
#include <ZemlarKit/GroupStore.hpp>
#include <ZemlarKit/RecoveryCodeStore.hpp>
#include <ZemlarKit/SecretStore.hpp>
#include <memory>

namespace zemlar {

/// The stores handed to every screen model and flow caller. Copies share the same stores.
/// The backup file store and the inbox store join this record when they exist.
struct AppEnvironment {
    std::shared_ptr<AccountStore> accountStore;
    std::shared_ptr<GroupStore> groupStore;
    std::shared_ptr<SecretStore> secretStore;
    std::shared_ptr<BackupKeyStore> keyStore;
    std::shared_ptr<RecoveryCodeStore> recoveryStore;

    /// The environment of the running application, built once on first use: the list files in
    /// the data folder and the three vault stores over one shared keychain vault.
    static const AppEnvironment& live();

    bool operator==(const AppEnvironment&) const = default;
};

} // namespace zemlar
