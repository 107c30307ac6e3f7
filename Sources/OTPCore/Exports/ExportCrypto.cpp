// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportCrypto.hpp"

#include "OTPCore/Crypto.hpp"

#include <argon2.h>
#include <climits>
#include <memory>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/kdf.h>
#include <sodium.h>

namespace zemlar::ExportCrypto {
namespace {

struct OpenSSLFree {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
    void operator()(EVP_KDF* kdf) const { EVP_KDF_free(kdf); }
    void operator()(EVP_KDF_CTX* context) const { EVP_KDF_CTX_free(context); }
};

bool sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

// What a failed derivation or decryption leaves: nothing, and no bytes behind.
std::optional<Bytes> discarded(Bytes& output) {
    Crypto::wipe(output);
    return std::nullopt;
}

} // namespace

std::span<const std::uint8_t> bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::optional<Bytes> sha256(std::span<const std::uint8_t> message) {
    Bytes digest(EVP_MAX_MD_SIZE);
    unsigned int length = 0;
    if (EVP_Digest(message.data(), message.size(), digest.data(), &length, EVP_sha256(), nullptr) !=
        1) {
        return std::nullopt;
    }
    digest.resize(length);
    return digest;
}

std::optional<Bytes> hkdfExpandSHA256(std::span<const std::uint8_t> key, std::string_view info,
                                      std::size_t outputLength) {
    const std::unique_ptr<EVP_KDF, OpenSSLFree> kdf(EVP_KDF_fetch(nullptr, "HKDF", nullptr));
    const std::unique_ptr<EVP_KDF_CTX, OpenSSLFree> context(kdf ? EVP_KDF_CTX_new(kdf.get())
                                                                : nullptr);
    if (!context || key.empty() || outputLength == 0) {
        return std::nullopt;
    }
    char digestName[] = "SHA256";
    int mode = EVP_KDF_HKDF_MODE_EXPAND_ONLY;
    const OSSL_PARAM parameters[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_KDF_PARAM_DIGEST, digestName, 0),
        OSSL_PARAM_construct_int(OSSL_KDF_PARAM_MODE, &mode),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_KEY, const_cast<std::uint8_t*>(key.data()),
                                          key.size()),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_INFO, const_cast<char*>(info.data()),
                                          info.size()),
        OSSL_PARAM_construct_end(),
    };
    Bytes output(outputLength);
    if (EVP_KDF_derive(context.get(), output.data(), output.size(), parameters) != 1) {
        return discarded(output);
    }
    return output;
}

std::optional<Bytes> aesCBCDecrypt(std::span<const std::uint8_t> key,
                                   std::span<const std::uint8_t> iv,
                                   std::span<const std::uint8_t> ciphertext) {
    constexpr std::size_t blockLength = 16;
    if (key.size() != 32 || iv.size() != blockLength || ciphertext.empty() ||
        ciphertext.size() % blockLength != 0 || ciphertext.size() > INT_MAX - blockLength) {
        return std::nullopt;
    }
    const std::unique_ptr<EVP_CIPHER_CTX, OpenSSLFree> context(EVP_CIPHER_CTX_new());
    Bytes plaintext(ciphertext.size() + blockLength);
    int written = 0;
    int finalLength = 0;
    if (!context ||
        EVP_DecryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, key.data(), iv.data()) != 1 ||
        EVP_DecryptUpdate(context.get(), plaintext.data(), &written, ciphertext.data(),
                          static_cast<int>(ciphertext.size())) != 1 ||
        EVP_DecryptFinal_ex(context.get(), plaintext.data() + written, &finalLength) != 1) {
        return discarded(plaintext);
    }
    plaintext.resize(static_cast<std::size_t>(written + finalLength));
    return plaintext;
}

std::optional<Bytes> argon2id(std::span<const std::uint8_t> password,
                              std::span<const std::uint8_t> salt, Argon2Costs costs,
                              std::size_t outputLength) {
    Bytes output(outputLength);
    if (outputLength == 0 || costs.passes == 0) {
        return std::nullopt;
    }
    // libsodium has the faster implementation but only one lane and 16-byte salts.
    if (costs.lanes == 1 && salt.size() == crypto_pwhash_SALTBYTES) {
        if (!sodiumReady() ||
            crypto_pwhash(output.data(), output.size(),
                          reinterpret_cast<const char*>(password.data()), password.size(),
                          salt.data(), costs.passes, std::size_t{costs.memoryKiB} * 1024,
                          crypto_pwhash_ALG_ARGON2ID13) != 0) {
            return discarded(output);
        }
        return output;
    }
    if (argon2id_hash_raw(costs.passes, costs.memoryKiB, costs.lanes, password.data(),
                          password.size(), salt.data(), salt.size(), output.data(),
                          output.size()) != ARGON2_OK) {
        return discarded(output);
    }
    return output;
}

std::optional<Bytes> secretStreamOpen(std::span<const std::uint8_t> key,
                                      std::span<const std::uint8_t> header,
                                      std::span<const std::uint8_t> message) {
    constexpr std::size_t overhead = crypto_secretstream_xchacha20poly1305_ABYTES;
    if (!sodiumReady() || key.size() != crypto_secretstream_xchacha20poly1305_KEYBYTES ||
        header.size() != crypto_secretstream_xchacha20poly1305_HEADERBYTES ||
        message.size() < overhead) {
        return std::nullopt;
    }
    crypto_secretstream_xchacha20poly1305_state state;
    Bytes plaintext(message.size() - overhead + 1); // never empty, so data() is valid
    unsigned long long length = 0;
    unsigned char tag = 0;
    const bool opened =
        crypto_secretstream_xchacha20poly1305_init_pull(&state, header.data(), key.data()) == 0 &&
        crypto_secretstream_xchacha20poly1305_pull(&state, plaintext.data(), &length, &tag,
                                                   message.data(), message.size(), nullptr,
                                                   0) == 0 &&
        (tag == crypto_secretstream_xchacha20poly1305_TAG_MESSAGE ||
         tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL);
    sodium_memzero(&state, sizeof state);
    if (!opened) {
        return discarded(plaintext);
    }
    plaintext.resize(static_cast<std::size_t>(length));
    return plaintext;
}

} // namespace zemlar::ExportCrypto
