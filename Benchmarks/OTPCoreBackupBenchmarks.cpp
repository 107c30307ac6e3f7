// SPDX-License-Identifier: GPL-3.0-or-later
// The backup key derivation against a bare OpenSSL PBKDF2 call (the normalisation and checks
// around it should cost nothing next to 600,000 HMAC rounds), and sealing and opening a backup
// of 1,000 accounts.
#include <OTPCore/BackupCodec.hpp>
#include <OTPCore/BackupKDF.hpp>
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <string>

namespace {

using namespace zemlar;

const std::string passphrase = "correct horse battery staple";
const Bytes salt(16, 0x5A);
const Bytes key(32, 0x42);
const Bytes nonce(12, 0x24);

void deriveKey(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            BackupKDF::deriveKey(passphrase, salt, BackupKDF::defaultIterations));
    }
}

void barePBKDF2(benchmark::State& state) {
    Bytes output(32);
    for (auto _ : state) {
        benchmark::DoNotOptimize(PKCS5_PBKDF2_HMAC(
            passphrase.data(), static_cast<int>(passphrase.size()), salt.data(),
            static_cast<int>(salt.size()), static_cast<int>(BackupKDF::defaultIterations),
            EVP_sha256(), static_cast<int>(output.size()), output.data()));
    }
}

BackupPayload thousandAccounts() {
    std::vector<BackupAccount> accounts;
    for (int index = 0; index < 1000; ++index) {
        UUID::Storage id{};
        id[14] = static_cast<std::uint8_t>(index >> 8);
        id[15] = static_cast<std::uint8_t>(index);
        accounts.push_back(BackupAccount{
            .id = UUID(id),
            .issuer = "Issuer " + std::to_string(index),
            .name = "user" + std::to_string(index) + "@example.com",
            .parameters = OTPParameters::standard(),
            .secret = Bytes(20, static_cast<std::uint8_t>(index)),
            .createdAt = Date(1'740'821'400.0 + index),
            .domains = std::vector<std::string>{"example" + std::to_string(index) + ".com"},
            .groupID = std::nullopt,
            .pressesReturn = index % 2 == 0 ? std::optional<bool>(true) : std::nullopt,
            .recoveryCodes = std::nullopt,
        });
    }
    return BackupPayload::make(Date(1'740'907'800.0), std::move(accounts), {});
}

void sealThousandAccounts(benchmark::State& state) {
    const BackupPayload payload = thousandAccounts();
    const BackupHeader header = BackupHeader::make(salt, BackupKDF::defaultIterations);
    for (auto _ : state) {
        benchmark::DoNotOptimize(BackupCodec::seal(payload, key, header, nonce));
    }
}

void openThousandAccounts(benchmark::State& state) {
    const Bytes file = *BackupCodec::seal(
        thousandAccounts(), key, BackupHeader::make(salt, BackupKDF::defaultIterations), nonce);
    state.counters["fileBytes"] = static_cast<double>(file.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(BackupCodec::open(file, key));
    }
}

BENCHMARK(deriveKey)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(barePBKDF2)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(sealThousandAccounts)->Unit(benchmark::kMillisecond);
BENCHMARK(openThousandAccounts)->Unit(benchmark::kMillisecond);

} // namespace
