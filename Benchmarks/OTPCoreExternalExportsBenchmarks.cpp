// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/ExternalExports.hpp>
#include <benchmark/benchmark.h>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <openssl/core_names.h>
#include <openssl/kdf.h>
#include <openssl/params.h>
#include <sstream>

namespace {

using namespace zemlar;

std::string sample(const char* name) {
    std::ifstream file(std::string(ZEMLAR_EXPORT_SAMPLES) + "/" + name, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

// A plain vault of 1,000 TOTP accounts in two groups.
std::string plainVault() {
    nlohmann::json entries = nlohmann::json::array();
    for (int index = 0; index < 1000; ++index) {
        entries.push_back({{"type", "totp"},
                           {"uuid", "3ae6f1ad-2e65-4ed2-a953-1ec0dff2386d"},
                           {"name", "user" + std::to_string(index) + "@example.com"},
                           {"issuer", "Issuer " + std::to_string(index)},
                           {"group", index % 2 == 0 ? "Work" : "Home"},
                           {"info",
                            {{"secret", "4SJHB4GSD43FZBAI7C2HLRJGPQ"},
                             {"algo", "SHA1"},
                             {"digits", 6},
                             {"period", 30}}}});
    }
    return nlohmann::json{{"version", 1},
                          {"header", {{"slots", nullptr}, {"params", nullptr}}},
                          {"db", {{"version", 2}, {"entries", entries}}}}
        .dump();
}

void parsePlainVault(benchmark::State& state) {
    const std::string vault = plainVault();
    for (auto _ : state) {
        auto read = ExternalExports::read(vault);
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(parsePlainVault)->Unit(benchmark::kMillisecond);

// The whole reading of an encrypted vault (one scrypt slot, N = 32768, r = 8, p = 1) ...
void openEncryptedVault(benchmark::State& state) {
    const std::string vault = sample("aegis/aegis__aegis_encrypted.json");
    for (auto _ : state) {
        auto read = ExternalExports::read(vault, "test");
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(openEncryptedVault)->Unit(benchmark::kMillisecond);

// ... beside OpenSSL's scrypt alone with the same parameters.
void bareScrypt(benchmark::State& state) {
    const std::unique_ptr<EVP_KDF, decltype(&EVP_KDF_free)> kdf(
        EVP_KDF_fetch(nullptr, "SCRYPT", nullptr), EVP_KDF_free);
    std::string password = "test";
    std::string salt(32, 's');
    std::uint64_t n = 32768;
    std::uint32_t r = 8;
    std::uint32_t p = 1;
    const OSSL_PARAM parameters[] = {
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_PASSWORD, password.data(),
                                          password.size()),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_SALT, salt.data(), salt.size()),
        OSSL_PARAM_construct_uint64(OSSL_KDF_PARAM_SCRYPT_N, &n),
        OSSL_PARAM_construct_uint32(OSSL_KDF_PARAM_SCRYPT_R, &r),
        OSSL_PARAM_construct_uint32(OSSL_KDF_PARAM_SCRYPT_P, &p),
        OSSL_PARAM_construct_end(),
    };
    unsigned char key[32];
    for (auto _ : state) {
        const std::unique_ptr<EVP_KDF_CTX, decltype(&EVP_KDF_CTX_free)> context(
            EVP_KDF_CTX_new(kdf.get()), EVP_KDF_CTX_free);
        benchmark::DoNotOptimize(EVP_KDF_derive(context.get(), key, sizeof key, parameters));
    }
}
BENCHMARK(bareScrypt)->Unit(benchmark::kMillisecond);

} // namespace
