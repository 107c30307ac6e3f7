// SPDX-License-Identifier: GPL-3.0-or-later
// A keyring whose collection is locked must never read as an empty vault: no change may write
// over the secrets it could not read. Runs only in a keyring of its own (see CMakeLists.txt).
#include "../ZemlarKitTests/MemoryListStores.hpp"
#include "../ZemlarKitTests/StoreDoubles.hpp"

#include <OTPCore/ImportParser.hpp>
#include <cstdlib>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <libsecret/secret.h>
#include <sstream>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

const SecretStoreError locked = SecretStoreError::keychain(KeychainItem::statusLocked);

/// Locks the default collection as a screen locker or the user would: Service.Lock.
void lockDefaultCollection() {
    GError* error = nullptr;
    SecretService* service = secret_service_get_sync(SECRET_SERVICE_NONE, nullptr, &error);
    ASSERT_EQ(error, nullptr);
    SecretCollection* collection = secret_collection_for_alias_sync(
        service, SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, nullptr, &error);
    ASSERT_NE(collection, nullptr);
    GList* objects = g_list_append(nullptr, collection);
    secret_service_lock_sync(service, objects, nullptr, nullptr, &error);
    EXPECT_EQ(error, nullptr) << error->message;
    g_list_free_full(objects, g_object_unref);
    g_object_unref(service);
}

std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

ImportBatch oneNewAccount() {
    return ImportParser::parse("otpauth://totp/New:sixth@example.com?secret=JBSWY3DPEHPK3PXP");
}

/// Five accounts with their secrets, the backup key and recovery codes, all in the keyring.
struct LockedKeyringTest : ::testing::Test {
    void SetUp() override {
        if (std::getenv("ZEMLAR_PRIVATE_KEYRING") == nullptr) {
            GTEST_SKIP() << "needs a private keyring of its own (run through ctest)";
        }
        auto storage = std::make_unique<KeychainVaultStorage>(
            std::string(KeychainVaultStorage::applicationService));
        vault = std::make_shared<SecretVault>(std::move(storage));
        secrets.vault = keys.vault = recovery.vault = vault;
        for (std::uint8_t number = 1; number <= 5; ++number) {
            const OTPAuthEntry entry{"Issuer", "user" + std::to_string(number),
                                     Bytes{number, number}, OTPParameters::standard()};
            ASSERT_TRUE(AccountFlows::add(entry, uuidNumber(number), Date(0.0), accounts, secrets));
        }
        ASSERT_TRUE(keys.save(credentials));
        ASSERT_TRUE(recovery.setCodes({"code-1", "code-2"}, uuidNumber(1)));
        listBefore = contentsOf(accounts.fileURL);
    }

    void expectNothingLost() {
        EXPECT_EQ(secrets.readAll().value().size(), 5u + addedSinceSetUp);
        for (std::uint8_t number = 1; number <= 5; ++number) {
            EXPECT_EQ(secrets.read(uuidNumber(number)).value(), (Bytes{number, number}));
        }
        EXPECT_EQ(keys.load().value(), credentials);
        EXPECT_EQ(recovery.codes(uuidNumber(1)).value(),
                  (std::vector<std::string>{"code-1", "code-2"}));
        EXPECT_EQ(accounts.load().value().size(), 5u + addedSinceSetUp);
    }

    ScratchFolder folder;
    FileAccountStore accounts{folder.path / "accounts.json"};
    std::shared_ptr<SecretVault> vault;
    VaultSecretStore secrets{nullptr};
    VaultBackupKeyStore keys{nullptr};
    VaultRecoveryCodeStore recovery{nullptr};
    const BackupCredentials credentials{Bytes(32, 7), Bytes(16, 1), 600000};
    std::string listBefore;
    std::size_t addedSinceSetUp = 0;
};

using WithoutPrompter = LockedKeyringTest;

/// Answers gnome-keyring's unlock prompts on the test display, one after the other, as a
/// person would: each answer is "dismiss" (Escape) or the keyring's password.
std::future<int> answerPrompts(std::vector<std::string> answers) {
    return std::async(std::launch::async, [answers = std::move(answers)] {
        const std::string find =
            "timeout 60 xdotool search --sync --onlyvisible --name 'Unlock Login Keyring'";
        for (const auto& answer : answers) {
            const std::string keys = answer == "dismiss"
                                         ? std::string("xdotool key Escape")
                                         : "xdotool type '" + answer + "' && xdotool key Return";
            const std::string script =
                "w=$(" + find +
                " | head -1) && [ -n \"$w\" ] && sleep 0.5 && "
                "xdotool windowfocus --sync \"$w\" && " +
                keys +
                " && while xdotool search --onlyvisible --name 'Unlock Login Keyring' "
                ">/dev/null; do sleep 0.1; done";
            if (const int status = std::system(script.c_str()); status != 0) {
                return status;
            }
        }
        return 0;
    });
}

struct WithPrompter : LockedKeyringTest {
    void SetUp() override {
        if (std::getenv("ZEMLAR_TEST_X_SERVER") == nullptr) {
            GTEST_SKIP() << "needs the test display, where the keyring's prompter appears";
        }
        LockedKeyringTest::SetUp();
    }
};

} // namespace

TEST_F(WithoutPrompter, EveryStoreAndFlowFailsAsLockedAndNothingIsWritten) {
    lockDefaultCollection();

    EXPECT_EQ(vault->read().error(), locked);
    EXPECT_EQ(secrets.readAll().error(), locked);
    EXPECT_EQ(keys.load().error(), locked);
    EXPECT_EQ(secrets.add(Bytes{6}, uuidNumber(6)).error(), locked);
    EXPECT_EQ(secrets.remove(uuidNumber(1)).error(), locked);
    EXPECT_EQ(keys.save(BackupCredentials(Bytes(32, 9), Bytes(16, 9), 600000)).error(), locked);
    EXPECT_EQ(recovery.setCodes({}, uuidNumber(1)).error(), locked);

    const ImportReport report = ImportFlow::run(oneNewAccount(), Date(0.0), accounts, secrets);
    EXPECT_TRUE(report.imported.empty());
    EXPECT_EQ(AccountFlows::remove(uuidNumber(2), accounts, secrets).error(),
              AccountFlowError::secrets(locked));
    EXPECT_EQ(contentsOf(accounts.fileURL), listBefore);

    MemoryGroupStore groups;
    DirectoryBackupFileStore files(folder.path / "backup", 4);
    const auto exported = BackupFlows::exportBackup(Date(0.0), Bytes(12, 0), accounts, groups,
                                                    secrets, keys, files, recovery);
    EXPECT_EQ(exported.error(), BackupFlowError::keyStore(locked)) << "never \"not set up\"";
    EXPECT_EQ(KeychainItem::accounts(KeychainVaultStorage::applicationService).value(),
              std::vector<std::string>{"secrets"})
        << "no second vault was created";
}

// The reported loss: the first unlock prompt dismissed, the second answered. The import that
// met the dismissed prompt fails and writes nothing; the next one adds to the whole vault.
TEST_F(WithPrompter, ADismissedUnlockLosesNothingAndTheNextUnlockAddsToTheWholeVault) {
    lockDefaultCollection();
    auto prompts = answerPrompts({"dismiss", "zemlar-throwaway"});

    const ImportReport refused = ImportFlow::run(oneNewAccount(), Date(0.0), accounts, secrets);
    if (refused.imported.empty()) {
        EXPECT_EQ(contentsOf(accounts.fileURL), listBefore);
        const ImportReport added = ImportFlow::run(oneNewAccount(), Date(0.0), accounts, secrets);
        EXPECT_EQ(added.imported.size(), 1u);
    }
    ASSERT_EQ(prompts.get(), 0) << "both prompts appeared and were answered";
    addedSinceSetUp = 1;
    expectNothingLost();
}
