// SPDX-License-Identifier: GPL-3.0-or-later
// An import of 500 links against one single add, over the real account file (flushed to disk)
// and the vault in memory or in the real keyring; and the same 500 entries added one by one, the
// cost an import has when it writes the list and the vault once per entry.
#include <ZemlarKit/ZemlarKit.hpp>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace {

using namespace zemlar;

constexpr int importedEntries = 500;
constexpr Date now{1'750'000'000};

bool privateKeyring() {
    const char* marker = std::getenv("ZEMLAR_PRIVATE_KEYRING");
    return marker != nullptr && std::string_view(marker) == "1";
}

ImportBatch linksFile() {
    ImportBatch batch;
    for (int index = 0; index < importedEntries; ++index) {
        batch.entries.emplace_back("Issuer " + std::to_string(index),
                                   "user" + std::to_string(index) + "@example.com",
                                   RandomBytes::generate(20), OTPParameters::standard());
    }
    return batch;
}

std::unique_ptr<VaultStorage> vaultStorage(bool keyring) {
    if (keyring) {
        return std::make_unique<KeychainVaultStorage>("app.zemlar.Zemlar.benchmark." +
                                                      RandomBytes::uuid().uuidString());
    }
    return std::make_unique<InMemoryVaultStorage>();
}

/// An account file in a folder of its own and a vault, emptied before every round.
struct Stores {
    explicit Stores(bool keyring)
        : folder(std::filesystem::temp_directory_path() /
                 ("zemlar-benchmark-" + RandomBytes::uuid().uuidString())),
          secrets(std::make_shared<SecretVault>(vaultStorage(keyring))),
          accounts(folder / "accounts.json") {}
    Stores(const Stores&) = delete;
    Stores& operator=(const Stores&) = delete;
    ~Stores() {
        (void)secrets.replaceAll({});
        std::filesystem::remove_all(folder);
    }

    void empty() {
        (void)secrets.replaceAll({});
        (void)accounts.save({});
    }

    std::filesystem::path folder;
    VaultSecretStore secrets;
    FileAccountStore accounts;
};

/// Runs `work` once per round on emptied stores; the emptying is not timed.
template <class Work> void timed(benchmark::State& state, bool keyring, Work work) {
    if (keyring && !privateKeyring()) {
        state.SkipWithError("run inside scripts/with-keyring");
        return;
    }
    Stores stores(keyring);
    for (auto _ : state) {
        state.PauseTiming();
        stores.empty();
        state.ResumeTiming();
        work(stores);
    }
}

void singleAdd(benchmark::State& state, bool keyring) {
    const ImportBatch batch = linksFile();
    timed(state, keyring, [&](Stores& stores) {
        benchmark::DoNotOptimize(AccountFlows::add(batch.entries.front(), RandomBytes::uuid(), now,
                                                   stores.accounts, stores.secrets));
    });
}

void importLinksFile(benchmark::State& state, bool keyring) {
    const ImportBatch batch = linksFile();
    timed(state, keyring, [&](Stores& stores) {
        benchmark::DoNotOptimize(ImportFlow::run(batch, now, stores.accounts, stores.secrets));
    });
}

void addOneByOne(benchmark::State& state, bool keyring) {
    const ImportBatch batch = linksFile();
    timed(state, keyring, [&](Stores& stores) {
        for (const auto& entry : batch.entries) {
            benchmark::DoNotOptimize(AccountFlows::add(entry, RandomBytes::uuid(), now,
                                                       stores.accounts, stores.secrets));
        }
    });
}

} // namespace

BENCHMARK_CAPTURE(singleAdd, memory, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(importLinksFile, memory, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(addOneByOne, memory, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(singleAdd, keyring, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(importLinksFile, keyring, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(addOneByOne, keyring, true)->Unit(benchmark::kMillisecond);
