// SPDX-License-Identifier: GPL-3.0-or-later
// Vault read and update with 1,000 secrets over the real keyring against the same over memory
// (the keychain's share of the cost), and the account file's save and load of 1,000 accounts
// against encoding and decoding alone (the disk's share).
#include <OTPCore/AccountsCodec.hpp>
#include <ZemlarKit/ZemlarKit.hpp>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace {

using namespace zemlar;

constexpr int storedSecrets = 1000;

bool privateKeyring() {
    const char* marker = std::getenv("ZEMLAR_PRIVATE_KEYRING");
    return marker != nullptr && std::string_view(marker) == "1";
}

std::shared_ptr<SecretVault> filledVault(std::unique_ptr<VaultStorage> storage) {
    auto vault = std::make_shared<SecretVault>(std::move(storage));
    (void)vault->update([](VaultContents& contents) -> Result<void, SecretStoreError> {
        for (int index = 0; index < storedSecrets; ++index) {
            contents.secrets[RandomBytes::uuid().uuidString()] = RandomBytes::generate(20);
        }
        return {};
    });
    return vault;
}

std::unique_ptr<VaultStorage> storageFor(bool keyring) {
    if (keyring) {
        return std::make_unique<KeychainVaultStorage>("app.zemlar.Zemlar.benchmark." +
                                                      RandomBytes::uuid().uuidString());
    }
    return std::make_unique<InMemoryVaultStorage>();
}

void vaultRead(benchmark::State& state, bool keyring) {
    if (keyring && !privateKeyring()) {
        state.SkipWithError("run inside scripts/with-keyring");
        return;
    }
    const auto vault = filledVault(storageFor(keyring));
    for (auto _ : state) {
        benchmark::DoNotOptimize(vault->read());
    }
}

void vaultUpdate(benchmark::State& state, bool keyring) {
    if (keyring && !privateKeyring()) {
        state.SkipWithError("run inside scripts/with-keyring");
        return;
    }
    const auto vault = filledVault(storageFor(keyring));
    VaultRecoveryCodeStore recovery(vault);
    const UUID id = RandomBytes::uuid();
    std::int64_t round = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(recovery.setCodes({std::to_string(++round)}, id));
    }
}

Accounts thousandAccounts() {
    Accounts accounts;
    for (int index = 0; index < 1000; ++index) {
        accounts.push_back(Account{RandomBytes::uuid(),
                                   "Issuer " + std::to_string(index),
                                   "user" + std::to_string(index) + "@example.com",
                                   OTPParameters::standard(),
                                   Date(1700000000.0),
                                   Date(1700000500.0),
                                   index,
                                   {"example.com"},
                                   std::nullopt,
                                   false});
    }
    return accounts;
}

void accountFileSaveLoad(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("zemlar-benchmark-" + RandomBytes::uuid().uuidString());
    FileAccountStore store(folder / "accounts.json");
    const Accounts accounts = thousandAccounts();
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.save(accounts));
        benchmark::DoNotOptimize(store.load());
    }
    std::filesystem::remove_all(folder);
}

void accountCodecEncodeDecode(benchmark::State& state) {
    const Accounts accounts = thousandAccounts();
    for (auto _ : state) {
        const auto bytes = AccountsCodec::encode(accounts);
        benchmark::DoNotOptimize(AccountsCodec::decode(*bytes));
    }
}

} // namespace

BENCHMARK_CAPTURE(vaultRead, memory, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(vaultRead, keyring, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(vaultUpdate, memory, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(vaultUpdate, keyring, true)->Unit(benchmark::kMillisecond);
BENCHMARK(accountCodecEncodeDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(accountFileSaveLoad)->Unit(benchmark::kMillisecond);
