// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ZemlarKit/AccountStore.hpp>
#include <ZemlarKit/BackupFileStore.hpp>
#include <ZemlarKit/BackupKeyStore.hpp>
#include <ZemlarKit/GroupStore.hpp>
#include <ZemlarKit/InboxTakenStore.hpp>
#include <ZemlarKit/RecoveryCodeStore.hpp>
#include <ZemlarKit/SecretStore.hpp>
#include <memory>

namespace zemlar {

/// The stores handed to every screen model and flow caller. Copies share the same stores.
struct AppEnvironment {
    std::shared_ptr<AccountStore> accountStore;
    std::shared_ptr<GroupStore> groupStore;
    std::shared_ptr<SecretStore> secretStore;
    std::shared_ptr<BackupKeyStore> keyStore;
    std::shared_ptr<BackupFileStore> fileStore;
    std::shared_ptr<InboxTakenStore> takenStore;
    std::shared_ptr<RecoveryCodeStore> recoveryStore;

    /// The environment of the running application, built once on first use: the list files in
    /// the data folder, the three vault stores over one shared keychain vault, the backup folder
    /// and the record of what was taken from the phone's inbox. From then on the store gate also
    /// keeps other processes out of the data folder.
    static const AppEnvironment& live();

    bool operator==(const AppEnvironment&) const = default;
};

} // namespace zemlar
