// SPDX-License-Identifier: GPL-3.0-or-later
// Opening each kind of encrypted export of other apps, beside the bare library call that
// derives its key with the same parameters: the reader should add nothing measurable to the
// derivation (at most 5 %). Argon2 with several lanes runs threads: the CPU time of the whole
// process is the measure that holds on a busy machine.
#include <OTPCore/ExternalExports.hpp>
#include <argon2.h>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <openssl/evp.h>
#include <sodium.h>
#include <sstream>
#include <string>

namespace {

using namespace zemlar;

const std::filesystem::path samples = ZEMLAR_EXPORT_SAMPLES;
const std::string bitwardenPassword = "rud9^5S6$^Ewmr%d";
const Bytes salt(16, 0x5A);

std::string contents(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void openExport(benchmark::State& state, const std::string& file, const std::string& password) {
    const std::string content = contents(samples / file);
    for (auto _ : state) {
        const auto result = ExternalExports::read(content, password);
        if (!result || !result->has_value()) {
            state.SkipWithError("the sample did not open");
            return;
        }
        benchmark::DoNotOptimize(result);
    }
}

void barePBKDF2(benchmark::State& state, const EVP_MD* digest, int iterations,
                const std::string& password) {
    Bytes output(32);
    for (auto _ : state) {
        benchmark::DoNotOptimize(PKCS5_PBKDF2_HMAC(
            password.data(), static_cast<int>(password.size()), salt.data(),
            static_cast<int>(salt.size()), iterations, digest, 32, output.data()));
    }
}

void bareArgon2id(benchmark::State& state, std::uint32_t passes, std::uint32_t memoryKiB,
                  std::uint32_t lanes, const std::string& password) {
    Bytes output(32);
    for (auto _ : state) {
        benchmark::DoNotOptimize(argon2id_hash_raw(passes, memoryKiB, lanes, password.data(),
                                                   password.size(), salt.data(), salt.size(),
                                                   output.data(), output.size()));
    }
}

void bareSodiumArgon2id(benchmark::State& state, std::uint64_t passes, std::size_t memoryBytes,
                        const std::string& password) {
    if (sodium_init() < 0) {
        state.SkipWithError("libsodium did not start");
        return;
    }
    Bytes output(32);
    for (auto _ : state) {
        benchmark::DoNotOptimize(crypto_pwhash(output.data(), output.size(), password.data(),
                                               password.size(), salt.data(), passes, memoryBytes,
                                               crypto_pwhash_ALG_ARGON2ID13));
    }
}

} // namespace

BENCHMARK_CAPTURE(openExport, bitwardenPBKDF2, "bitwarden/stratum__bitwarden.encrypted.pbkdf2.json",
                  bitwardenPassword)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(barePBKDF2, bitwardenPBKDF2, EVP_sha256(), 600'000, bitwardenPassword)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(openExport, bitwardenArgon2id,
                  "bitwarden/stratum__bitwarden.encrypted.argon2id.json", bitwardenPassword)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(bareArgon2id, bitwardenArgon2id, 3, 64 * 1024, 4, bitwardenPassword)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(openExport, enteAuth, "ente/protonpass__encrypted.nominalcomplexity.txt",
                  "password")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(bareSodiumArgon2id, enteAuth, 16, std::size_t{256} << 20, "password")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(openExport, protonAuthenticator,
                  "proton/made__proton_authenticator_encrypted.json", "test")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(bareSodiumArgon2id, protonAuthenticator, 2, std::size_t{19456} << 10, "test")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(openExport, stratum, "stratum/aegis__stratum_encrypted.bin", "test")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(bareArgon2id, stratum, 3, 64 * 1024, 4, "test")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(openExport, stratumLegacy, "stratum/aegis__stratum_encrypted_legacy.bin", "test")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(barePBKDF2, stratumLegacy, EVP_sha1(), 64'000, "test")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
