// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/Crypto.hpp"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

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

} // namespace

MAC::~MAC() {
    wipe(bytes);
}

MAC hmac(Digest digest, std::span<const std::uint8_t> key, std::span<const std::uint8_t> message) {
    MAC mac;
    unsigned int length = 0;
    // An empty key is legal for HMAC, but OpenSSL wants a non-null pointer for it.
    static constexpr std::uint8_t emptyKey = 0;
    const void* keyData = key.empty() ? &emptyKey : key.data();
    HMAC(messageDigest(digest), keyData, static_cast<int>(key.size()), message.data(),
         message.size(), mac.bytes.data(), &length);
    mac.length = length;
    return mac;
}

void wipe(std::span<std::uint8_t> bytes) {
    if (!bytes.empty()) {
        OPENSSL_cleanse(bytes.data(), bytes.size());
    }
}

} // namespace zemlar::Crypto
