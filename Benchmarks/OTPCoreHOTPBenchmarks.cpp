// SPDX-License-Identifier: GPL-3.0-or-later
// HOTP.code against a bare OpenSSL one-shot HMAC of the same 8-byte message: the code engine's
// own work (truncation, formatting) should stay well below the cost of the MAC itself.
#include <OTPCore/HOTP.hpp>
#include <array>
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace {

using namespace zemlar;

const Bytes secret(20, 0x5A);

OTPParameters parametersFor(OTPAlgorithm algorithm) {
    return *OTPParameters::make(algorithm, 6, 30);
}

const EVP_MD* digestFor(OTPAlgorithm algorithm) {
    switch (algorithm) {
    case OTPAlgorithm::sha1:
        return EVP_sha1();
    case OTPAlgorithm::sha256:
        return EVP_sha256();
    case OTPAlgorithm::sha512:
        return EVP_sha512();
    }
    return EVP_sha1();
}

void hotpCode(benchmark::State& state, OTPAlgorithm algorithm) {
    const OTPParameters parameters = parametersFor(algorithm);
    std::uint64_t counter = 56'666'666;
    for (auto _ : state) {
        benchmark::DoNotOptimize(HOTP::code(secret, counter++, parameters));
    }
}

void bareHMAC(benchmark::State& state, OTPAlgorithm algorithm) {
    const EVP_MD* digest = digestFor(algorithm);
    std::uint64_t counter = 56'666'666;
    std::array<unsigned char, EVP_MAX_MD_SIZE> mac{};
    unsigned int length = 0;
    for (auto _ : state) {
        std::array<unsigned char, 8> message{};
        for (int index = 7; index >= 0; --index) {
            message[static_cast<std::size_t>(index)] =
                static_cast<unsigned char>(counter >> (8 * (7 - index)));
        }
        ++counter;
        benchmark::DoNotOptimize(HMAC(digest, secret.data(), static_cast<int>(secret.size()),
                                      message.data(), message.size(), mac.data(), &length));
    }
}

BENCHMARK_CAPTURE(hotpCode, sha1, OTPAlgorithm::sha1);
BENCHMARK_CAPTURE(bareHMAC, sha1, OTPAlgorithm::sha1);
BENCHMARK_CAPTURE(hotpCode, sha256, OTPAlgorithm::sha256);
BENCHMARK_CAPTURE(bareHMAC, sha256, OTPAlgorithm::sha256);
BENCHMARK_CAPTURE(hotpCode, sha512, OTPAlgorithm::sha512);
BENCHMARK_CAPTURE(bareHMAC, sha512, OTPAlgorithm::sha512);

} // namespace
