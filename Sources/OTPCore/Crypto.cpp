// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/Crypto.hpp"

#include <climits>
#include <memory>
#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/kdf.h>

namespace zemlar::Crypto {
namespace {

const EVP_MD* messageDigest(Digest digest) {
    switch (digest) {
    case Digest::sha1:
        return EVP_sha1();
    case Digest::sha256:
        return EVP_sha256();
    case Digest::sha512:
        return EVP_sha512();
    }
    return EVP_sha1();
}

struct CipherContextFree {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree>;

struct KDFFree {
    void operator()(EVP_KDF* kdf) const { EVP_KDF_free(kdf); }
    void operator()(EVP_KDF_CTX* context) const { EVP_KDF_CTX_free(context); }
};

bool fitsInt(std::size_t length) {
    return length <= static_cast<std::size_t>(INT_MAX);
}

// Feeds data through EVP_EncryptUpdate / EVP_DecryptUpdate; `output` null for additional data.
template <class Update>
bool update(Update function, EVP_CIPHER_CTX* context, std::uint8_t* output,
            std::span<const std::uint8_t> input) {
    if (input.empty()) {
        return true;
    }
    if (!fitsInt(input.size())) {
        return false;
    }
    int written = 0;
    return function(context, output, &written, input.data(), static_cast<int>(input.size())) == 1;
}

CipherContext gcmContext(bool encrypting, std::span<const std::uint8_t> key,
                         std::span<const std::uint8_t> nonce) {
    if (key.size() != AESGCM::keyLength || nonce.size() != AESGCM::nonceLength) {
        return nullptr;
    }
    CipherContext context(EVP_CIPHER_CTX_new());
    if (!context) {
        return nullptr;
    }
    const auto init = encrypting ? EVP_EncryptInit_ex : EVP_DecryptInit_ex;
    if (init(context.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_IVLEN,
                            static_cast<int>(AESGCM::nonceLength), nullptr) != 1 ||
        init(context.get(), nullptr, nullptr, key.data(), nonce.data()) != 1) {
        return nullptr;
    }
    return context;
}

} // namespace

MAC::~MAC() {
    wipe(bytes);
}

MAC hmac(Digest digest, std::span<const std::uint8_t> key, std::span<const std::uint8_t> message) {
    MAC mac;
    if (!fitsInt(key.size())) {
        return mac;
    }
    unsigned int length = 0;
    // An empty key is legal for HMAC, but OpenSSL wants a non-null pointer for it.
    static constexpr std::uint8_t emptyKey = 0;
    const void* keyData = key.empty() ? &emptyKey : key.data();
    if (HMAC(messageDigest(digest), keyData, static_cast<int>(key.size()), message.data(),
             message.size(), mac.bytes.data(), &length) == nullptr ||
        length > maximumMACLength) {
        return mac;
    }
    mac.length = length;
    return mac;
}

void wipe(std::span<std::uint8_t> bytes) {
    if (!bytes.empty()) {
        OPENSSL_cleanse(bytes.data(), bytes.size());
    }
}

namespace AESGCM {

std::optional<Bytes> seal(std::span<const std::uint8_t> key, std::span<const std::uint8_t> nonce,
                          std::span<const std::uint8_t> plaintext,
                          std::span<const std::uint8_t> authenticatedData) {
    const CipherContext context = gcmContext(true, key, nonce);
    if (!context) {
        return std::nullopt;
    }
    Bytes combined(nonceLength + plaintext.size() + tagLength);
    std::copy(nonce.begin(), nonce.end(), combined.begin());
    std::uint8_t* const ciphertext = combined.data() + nonceLength;
    std::uint8_t* const tag = ciphertext + plaintext.size();
    int finalLength = 0;
    if (!update(EVP_EncryptUpdate, context.get(), nullptr, authenticatedData) ||
        !update(EVP_EncryptUpdate, context.get(), ciphertext, plaintext) ||
        EVP_EncryptFinal_ex(context.get(), tag, &finalLength) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, static_cast<int>(tagLength),
                            tag) != 1) {
        return std::nullopt;
    }
    return combined;
}

std::optional<Bytes> open(std::span<const std::uint8_t> key, std::span<const std::uint8_t> combined,
                          std::span<const std::uint8_t> authenticatedData) {
    if (combined.size() < nonceLength + tagLength) {
        return std::nullopt;
    }
    const CipherContext context = gcmContext(false, key, combined.first(nonceLength));
    if (!context) {
        return std::nullopt;
    }
    const auto ciphertext =
        combined.subspan(nonceLength, combined.size() - nonceLength - tagLength);
    // OpenSSL takes the expected tag through a non-const pointer but only reads it.
    std::array<std::uint8_t, tagLength> tag{};
    std::copy(combined.end() - tagLength, combined.end(), tag.begin());
    Bytes plaintext(ciphertext.size() + 1); // never empty, so data() is a valid output
    int finalLength = 0;
    const bool verified =
        update(EVP_DecryptUpdate, context.get(), nullptr, authenticatedData) &&
        update(EVP_DecryptUpdate, context.get(), plaintext.data(), ciphertext) &&
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, static_cast<int>(tagLength),
                            tag.data()) == 1 &&
        EVP_DecryptFinal_ex(context.get(), plaintext.data() + ciphertext.size(), &finalLength) == 1;
    if (!verified) {
        wipe(plaintext);
        return std::nullopt;
    }
    plaintext.resize(ciphertext.size());
    return plaintext;
}

} // namespace AESGCM

std::optional<Bytes> pbkdf2SHA256(std::span<const std::uint8_t> password,
                                  std::span<const std::uint8_t> salt, std::uint64_t iterations,
                                  std::size_t outputLength) {
    return pbkdf2(Digest::sha256, password, salt, iterations, outputLength);
}

std::optional<Bytes> pbkdf2(Digest digest, std::span<const std::uint8_t> password,
                            std::span<const std::uint8_t> salt, std::uint64_t iterations,
                            std::size_t outputLength) {
    if (iterations == 0 || outputLength == 0) {
        return std::nullopt;
    }
    // The EVP_KDF interface takes a 64-bit count; PKCS5_PBKDF2_HMAC stops at INT_MAX.
    const std::unique_ptr<EVP_KDF, KDFFree> kdf(EVP_KDF_fetch(nullptr, "PBKDF2", nullptr));
    if (!kdf) {
        return std::nullopt;
    }
    const std::unique_ptr<EVP_KDF_CTX, KDFFree> context(EVP_KDF_CTX_new(kdf.get()));
    if (!context) {
        return std::nullopt;
    }
    static constexpr std::uint8_t empty = 0;
    char* digestName = const_cast<char*>(EVP_MD_get0_name(messageDigest(digest)));
    int withoutLowerBoundChecks = 1;
    const OSSL_PARAM parameters[] = {
        OSSL_PARAM_construct_octet_string(
            OSSL_KDF_PARAM_PASSWORD,
            const_cast<std::uint8_t*>(password.empty() ? &empty : password.data()),
            password.size()),
        OSSL_PARAM_construct_octet_string(
            OSSL_KDF_PARAM_SALT, const_cast<std::uint8_t*>(salt.empty() ? &empty : salt.data()),
            salt.size()),
        OSSL_PARAM_construct_uint64(OSSL_KDF_PARAM_ITER, &iterations),
        OSSL_PARAM_construct_utf8_string(OSSL_KDF_PARAM_DIGEST, digestName, 0),
        OSSL_PARAM_construct_int(OSSL_KDF_PARAM_PKCS5, &withoutLowerBoundChecks),
        OSSL_PARAM_construct_end(),
    };
    Bytes output(outputLength);
    if (EVP_KDF_derive(context.get(), output.data(), output.size(), parameters) != 1) {
        wipe(output);
        return std::nullopt;
    }
    return output;
}

} // namespace zemlar::Crypto
