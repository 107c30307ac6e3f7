// SPDX-License-Identifier: GPL-3.0-or-later
// The backup and inbox flows over vaults in the real Secret Service.
#include "../ZemlarKitTests/BackupTesting.hpp"
#include "KeyringTesting.hpp"

namespace zemlar::testing {
namespace {

struct BackupOverKeyring : KeyringTest {
    std::unique_ptr<VaultStorage> storage(const std::string& suffix) const {
        return std::make_unique<KeychainVaultStorage>(service + "." + suffix);
    }
};

TEST_F(BackupOverKeyring, aBackupRestoresOntoAnotherVaultAndChecksComplete) {
    Computer source(storage("source"));
    Computer target(storage("target"));
    const Account github = source.add("GitHub", "ann", bytesOf("github-secret"), 1);
    source.add("Mail", "ann@example.com", bytesOf("mail-secret"), 2);
    ASSERT_TRUE(source.recovery.setCodes({"code-1"}, github.id));
    ASSERT_TRUE(BackupFlows::setUp(testPassphrase, testSalt(), testIterations, source.keys));
    ASSERT_EQ(BackupFlows::exportBackup(Date(1'750'000'000), RandomBytes::generate(12),
                                        source.accounts, source.groups, source.secrets, source.keys,
                                        source.files, source.recovery),
              2);

    const Bytes file = source.files.readLatest().value().value();
    const auto report = BackupFlows::restore(file, testPassphrase, target.accounts, target.groups,
                                             target.secrets, target.keys, target.recovery);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->imported, 2);
    EXPECT_EQ(target.secrets.read(github.id), bytesOf("github-secret"));
    EXPECT_EQ(target.recovery.codes(github.id), std::vector<std::string>{"code-1"});
    EXPECT_EQ(target.keys.load().value(), source.keys.load().value());
    const auto check =
        BackupFlows::verify(target.accounts, target.secrets, target.keys, source.files);
    ASSERT_TRUE(check);
    EXPECT_TRUE(check->isComplete());
}

} // namespace
} // namespace zemlar::testing
