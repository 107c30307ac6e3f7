// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/KeyDerivation.hpp"

#include <memory>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/kdf.h>
#include <string>
#include <vector>

namespace zemlar::KeyDerivation {
namespace {

struct KDFFree {
    void operator()(EVP_KDF* kdf) const { EVP_KDF_free(kdf); }
    void operator()(EVP_KDF_CTX* context) const { EVP_KDF_CTX_free(context); }
};

// OpenSSL wants a non-null pointer even for an empty password or salt.
std::uint8_t* octets(std::span<const std::uint8_t> bytes) {
    static std::uint8_t empty = 0;
    return bytes.empty() ? &empty : const_cast<std::uint8_t*>(bytes.data());
}

std::optional<Bytes> derive(const char* algorithm, const OSSL_PARAM* parameters,
                            std::size_t outputLength) {
    if (outputLength == 0) {
        return std::nullopt;
    }
    const std::unique_ptr<EVP_KDF, KDFFree> kdf(EVP_KDF_fetch(nullptr, algorithm, nullptr));
    if (!kdf) {
        return std::nullopt;
    }
    const std::unique_ptr<EVP_KDF_CTX, KDFFree> context(EVP_KDF_CTX_new(kdf.get()));
    if (!context) {
        return std::nullopt;
    }
    Bytes output(outputLength);
    if (EVP_KDF_derive(context.get(), output.data(), output.size(), parameters) != 1) {
        Crypto::wipe(output);
        return std::nullopt;
    }
    return output;
}

const char* digestName(Crypto::Digest digest) {
    switch (digest) {
    case Crypto::Digest::sha1:
        return "SHA1";
    case Crypto::Digest::sha256:
        return "SHA256";
    case Crypto::Digest::sha512:
        return "SHA512";
    }
    return "SHA1";
}

} // namespace

std::optional<std::uint64_t> ScryptCost::memoryBytes() const {
    std::uint64_t memory = 0;
    if (__builtin_mul_overflow(std::uint64_t{128} * r, n, &memory) ||
        __builtin_mul_overflow(memory, std::uint64_t{p}, &memory)) {
        return std::nullopt;
    }
    return memory;
}

std::optional<Bytes> scrypt(std::span<const std::uint8_t> password,
                            std::span<const std::uint8_t> salt, ScryptCost cost,
                            std::size_t outputLength) {
    std::uint64_t maximumMemory = maximumScryptMemory;
    const OSSL_PARAM parameters[] = {
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_PASSWORD, octets(password),
                                          password.size()),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_SALT, octets(salt), salt.size()),
        OSSL_PARAM_construct_uint64(OSSL_KDF_PARAM_SCRYPT_N, &cost.n),
        OSSL_PARAM_construct_uint32(OSSL_KDF_PARAM_SCRYPT_R, &cost.r),
        OSSL_PARAM_construct_uint32(OSSL_KDF_PARAM_SCRYPT_P, &cost.p),
        OSSL_PARAM_construct_uint64(OSSL_KDF_PARAM_SCRYPT_MAXMEM, &maximumMemory),
        OSSL_PARAM_construct_end(),
    };
    return derive("SCRYPT", parameters, outputLength);
}

std::optional<Bytes> pbkdf2(Crypto::Digest digest, std::span<const std::uint8_t> password,
                            std::span<const std::uint8_t> salt, std::uint64_t iterations,
                            std::size_t outputLength) {
    std::string name = digestName(digest);
    int withoutLowerBoundChecks = 1;
    const OSSL_PARAM parameters[] = {
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_PASSWORD, octets(password),
                                          password.size()),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_SALT, octets(salt), salt.size()),
        OSSL_PARAM_construct_uint64(OSSL_KDF_PARAM_ITER, &iterations),
        OSSL_PARAM_construct_utf8_string(OSSL_KDF_PARAM_DIGEST, name.data(), 0),
        OSSL_PARAM_construct_int(OSSL_KDF_PARAM_PKCS5, &withoutLowerBoundChecks),
        OSSL_PARAM_construct_end(),
    };
    if (iterations == 0) {
        return std::nullopt;
    }
    return derive("PBKDF2", parameters, outputLength);
}

Bytes sha256(std::span<const std::uint8_t> bytes) {
    Bytes hash(32);
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), hash.data(), &length, EVP_sha256(), nullptr) != 1) {
        hash.clear();
    }
    return hash;
}

} // namespace zemlar::KeyDerivation
