// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountStore.hpp"
#include "ZemlarKit/BackupCredentials.hpp"
#include "ZemlarKit/BackupFileStore.hpp"
#include "ZemlarKit/BackupFlowError.hpp"
#include "ZemlarKit/BackupKeyStore.hpp"
#include "ZemlarKit/GroupStore.hpp"
#include "ZemlarKit/RecoveryCodeStore.hpp"
#include "ZemlarKit/RestoreReport.hpp"
#include "ZemlarKit/SecretStore.hpp"

#include <OTPCore/BackupCheck.hpp>
#include <string_view>

/// Setting the passphrase, writing, restoring and checking backups. Stateless; each returns its
/// first failure and leaves the stores as the completed steps left them. Writing and checking
/// use the stored key; only setUp and restore derive one.
namespace zemlar::BackupFlows {

/// Derives the key from the passphrase and stores it with the salt and count.
Result<BackupCredentials, BackupFlowError> setUp(std::string_view passphrase,
                                                 std::span<const std::uint8_t> salt,
                                                 std::int64_t iterations, BackupKeyStore& keyStore);

/// Seals every account with its secret and recovery codes and the groups under the stored key
/// and writes the file; the number of accounts written. Nothing is written unless every
/// account's secret was read. (The operation is the export of a backup; `export` itself is a
/// reserved word.)
Result<std::int64_t, BackupFlowError>
exportBackup(Date now, std::span<const std::uint8_t> nonce, AccountStore& accountStore,
             GroupStore& groupStore, SecretStore& secretStore, BackupKeyStore& keyStore,
             BackupFileStore& fileStore, RecoveryCodeStore& recoveryStore);

/// Adds the backup's accounts whose identifiers are not present locally, never overwriting
/// anything: groups are merged, a secret already stored is only adopted when identical,
/// credentials are stored only when none are, recovery codes only where none are stored. A
/// failed save of the account list deletes the secrets this restore added.
Result<RestoreReport, BackupFlowError> restore(std::span<const std::uint8_t> data,
                                               std::string_view passphrase,
                                               AccountStore& accountStore, GroupStore& groupStore,
                                               SecretStore& secretStore, BackupKeyStore& keyStore,
                                               RecoveryCodeStore& recoveryStore);

/// Whether the latest backup would bring back every local account with the same codes.
Result<BackupCheckReport, BackupFlowError> verify(AccountStore& accountStore,
                                                  SecretStore& secretStore,
                                                  BackupKeyStore& keyStore,
                                                  BackupFileStore& fileStore);

/// The number of accounts in a backup, opened with the stored key.
Result<std::int64_t, BackupFlowError> countAccounts(std::span<const std::uint8_t> data,
                                                    BackupKeyStore& keyStore);

} // namespace zemlar::BackupFlows
