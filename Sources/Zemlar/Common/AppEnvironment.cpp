// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppEnvironment.hpp"

#include <OTPCore/BackupRotation.hpp>
#include <ZemlarKit/ChosenBackupFolder.hpp>
#include <ZemlarKit/FileAccountStore.hpp>
#include <ZemlarKit/FileGroupStore.hpp>
#include <ZemlarKit/KeychainVaultStorage.hpp>
#include <ZemlarKit/SecretVault.hpp>
#include <ZemlarKit/StoreGate.hpp>
#include <ZemlarKit/VaultBackupKeyStore.hpp>
#include <ZemlarKit/VaultRecoveryCodeStore.hpp>
#include <ZemlarKit/VaultSecretStore.hpp>
#include <string>

namespace zemlar {

const AppEnvironment& AppEnvironment::live() {
    static const AppEnvironment environment = [] {
        StoreGate::lockAcrossProcesses(StoreGate::defaultLockFile());
        auto vault = std::make_shared<SecretVault>(std::make_unique<KeychainVaultStorage>(
            std::string(KeychainVaultStorage::applicationService)));
        return AppEnvironment{
            .accountStore = std::make_shared<FileAccountStore>(FileAccountStore::defaultFileURL()),
            .groupStore = std::make_shared<FileGroupStore>(FileGroupStore::defaultFileURL()),
            .secretStore = std::make_shared<VaultSecretStore>(vault),
            .keyStore = std::make_shared<VaultBackupKeyStore>(vault),
            .fileStore = std::make_shared<ChosenBackupFolder>(BackupRotation::defaultKeep),
            .takenStore = std::make_shared<UserDefaultsInboxTakenStore>(),
            .recoveryStore = std::make_shared<VaultRecoveryCodeStore>(vault),
        };
    }();
    return environment;
}

} // namespace zemlar
