// SPDX-License-Identifier: GPL-3.0-or-later
// The built application at launch, with the real keyring and the real backup folder: accounts
// the phone left in its inbox arrive without any user action.
#include "E2ESupport.hpp"

#include <OTPCore/BackupCodec.hpp>
#include <OTPCore/BackupKDF.hpp>
#include <OTPCore/BackupPayload.hpp>
#include <ZemlarKit/BackupFlows.hpp>
#include <ZemlarKit/DirectoryBackupFileStore.hpp>
#include <ZemlarKit/FileAccountStore.hpp>
#include <ZemlarKit/KeychainVaultStorage.hpp>
#include <ZemlarKit/RandomBytes.hpp>
#include <ZemlarKit/SecretVault.hpp>
#include <ZemlarKit/VaultBackupKeyStore.hpp>
#include <ZemlarKit/VaultSecretStore.hpp>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace zemlar {
namespace {

using namespace std::chrono_literals;
using namespace zemlar::testing;

constexpr std::string_view passphrase = "a passphrase shared with the phone";
constexpr std::int64_t iterations = 100'000;

Bytes sealedInbox(const UUID& id, const Bytes& salt) {
    const std::string text = "12345678901234567890";
    const BackupAccount account{.id = id,
                                .issuer = "FromThePhone",
                                .name = "e2e",
                                .parameters = OTPParameters::standard(),
                                .secret = Bytes(text.begin(), text.end()),
                                .createdAt = Date(1'700'000'000),
                                .domains = std::vector<std::string>{},
                                .groupID = std::nullopt,
                                .pressesReturn = std::nullopt,
                                .recoveryCodes = std::nullopt};
    const Bytes key = *BackupKDF::deriveKey(passphrase, salt, iterations);
    return BackupCodec::seal(BackupPayload::make(Date(1'750'000'000), {account}, {}), key,
                             BackupHeader::make(salt, iterations),
                             RandomBytes::generate(BackupCodec::nonceLength))
        .value();
}

bool listed(const UUID& id) {
    const auto accounts = FileAccountStore(FileAccountStore::defaultFileURL()).load();
    return accounts &&
           std::ranges::any_of(*accounts, [&id](const Account& each) { return each.id == id; });
}

TEST(StartUpE2E, AnInboxSealedUnderTheStoredKeyIsTakenInAtLaunch) {
    if (!std::getenv("ZEMLAR_TEST_X_SERVER") || !std::getenv("ZEMLAR_PRIVATE_KEYRING")) {
        GTEST_SKIP() << "needs the private X server of scripts/with-x11 inside the private "
                        "keyring of scripts/with-keyring";
    }
    auto vault = std::make_shared<SecretVault>(std::make_unique<KeychainVaultStorage>(
        std::string(KeychainVaultStorage::applicationService)));
    VaultBackupKeyStore keys(vault);
    const Bytes salt(16, 0x33);
    ASSERT_TRUE(BackupFlows::setUp(passphrase, salt, iterations, keys));
    const UUID id = *UUID::parse("6F1C2A4E-0000-4000-8000-0000000000E2");
    ASSERT_FALSE(listed(id));
    const std::filesystem::path folder = DirectoryBackupFileStore::earlierDirectory();
    std::filesystem::create_directories(folder);
    const Bytes inbox = sealedInbox(id, salt);
    std::ofstream(folder / "inbox.zemlar", std::ios::binary)
        .write(reinterpret_cast<const char*>(inbox.data()),
               static_cast<std::streamsize>(inbox.size()));

    const pid_t app = spawn({ZEMLAR_APP_PATH});
    ASSERT_GT(app, 0);
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!listed(id) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
    }
    const bool arrived = listed(id);
    stop(app);

    // Leave the keyring and the folder as the other end-to-end tests expect them.
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(keys.clear());
    ASSERT_TRUE(VaultSecretStore(vault).remove(id));
    EXPECT_TRUE(arrived);
}

} // namespace
} // namespace zemlar
