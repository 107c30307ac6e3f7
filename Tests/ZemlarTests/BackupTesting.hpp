// SPDX-License-Identifier: GPL-3.0-or-later
// One computer's real stores for the backup screen: the list files and the backup folder in a
// scratch folder, the vault in memory, the inbox record and the user defaults cleared.
#pragma once

#include "AppDoubles.hpp"
#include "AppEnvironment.hpp"

#include <OTPCore/BackupCodec.hpp>
#include <OTPCore/BackupKDF.hpp>
#include <QSettings>
#include <QTemporaryDir>
#include <TestSupport/BackupKey.hpp>
#include <ZemlarKit/ZemlarKit.hpp>
#include <fstream>
#include <gtest/gtest.h>

namespace zemlar::testing {

inline QSettings userDefaults() {
    return QSettings(QStringLiteral("Zemlar"), QStringLiteral("Zemlar"));
}

struct BackupComputer {
    BackupComputer() { userDefaults().clear(); }
    ~BackupComputer() { userDefaults().clear(); }

    std::filesystem::path root() const { return folder.path().toStdString(); }
    std::filesystem::path backupFolder() const { return root() / "Zemlar"; }

    /// Stores the credentials of testPassphrase (quickly derived).
    void setPassphrase() const {
        ASSERT_TRUE(
            BackupFlows::setUp(testPassphrase, testSalt(), testIterations, *environment.keyStore));
    }

    /// Adds an account through the account flow.
    void add(int number, std::string issuer) const {
        const OTPAuthEntry entry(std::move(issuer), "", rfcSecret(), OTPParameters::standard());
        ASSERT_TRUE(AccountFlows::add(entry, uuid(number), Date(1'700'000'000),
                                      *environment.accountStore, *environment.secretStore));
    }

    bool hasBackup() const { return std::filesystem::exists(backupFolder() / "backup.zemlar"); }

    /// Writes a file into the backup folder.
    void put(const std::string& name, const Bytes& bytes) const {
        std::filesystem::create_directories(backupFolder());
        std::ofstream(backupFolder() / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    QTemporaryDir folder;
    std::shared_ptr<SecretVault> vault =
        std::make_shared<SecretVault>(std::make_unique<InMemoryVaultStorage>());
    AppEnvironment environment{
        .accountStore = std::make_shared<FileAccountStore>(root() / "data" / "accounts.json"),
        .groupStore = std::make_shared<FileGroupStore>(root() / "data" / "groups.json"),
        .secretStore = std::make_shared<VaultSecretStore>(vault),
        .keyStore = std::make_shared<VaultBackupKeyStore>(vault),
        .fileStore = std::make_shared<DirectoryBackupFileStore>(backupFolder(), 5),
        .takenStore = std::make_shared<UserDefaultsInboxTakenStore>(),
        .recoveryStore = std::make_shared<VaultRecoveryCodeStore>(vault),
    };
};

inline BackupAccount phoneAccount(int number, std::string issuer) {
    return BackupAccount{.id = uuid(number),
                         .issuer = std::move(issuer),
                         .name = "",
                         .parameters = OTPParameters::standard(),
                         .secret = rfcSecret(),
                         .createdAt = Date(1'700'000'000),
                         .domains = std::vector<std::string>{},
                         .groupID = std::nullopt,
                         .pressesReturn = std::nullopt,
                         .recoveryCodes = std::nullopt};
}

/// A file sealed under the key of testPassphrase, as the phone or another computer writes it.
inline Bytes sealedFile(std::vector<BackupAccount> accounts) {
    return BackupCodec::seal(BackupPayload::make(Date(1'750'000'000), std::move(accounts), {}),
                             testKey(), BackupHeader::make(testSalt(), testIterations),
                             RandomBytes::generate(BackupCodec::nonceLength))
        .value();
}

} // namespace zemlar::testing
