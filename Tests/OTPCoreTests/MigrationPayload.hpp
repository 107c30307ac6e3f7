// SPDX-License-Identifier: GPL-3.0-or-later
// Builders of protobuf messages and migration links for the tests.
#pragma once

#include <OTPCore/Result.hpp>
#include <cstdint>
#include <openssl/evp.h>
#include <string>
#include <string_view>

namespace zemlar::TestPayload {

inline Bytes varint(std::uint64_t value) {
    Bytes bytes;
    do {
        const auto low = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
        bytes.push_back(value != 0 ? static_cast<std::uint8_t>(low | 0x80) : low);
    } while (value != 0);
    return bytes;
}

inline Bytes operator+(Bytes left, const Bytes& right) {
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

inline Bytes varintField(std::uint64_t number, std::uint64_t value) {
    return varint(number << 3) + varint(value);
}

inline Bytes bytesField(std::uint64_t number, const Bytes& content) {
    return varint(number << 3 | 2) + varint(content.size()) + content;
}

inline Bytes textField(std::uint64_t number, std::string_view text) {
    return bytesField(number, Bytes(text.begin(), text.end()));
}

inline Bytes fixed32Field(std::uint64_t number) {
    return varint(number << 3 | 5) + Bytes(4, 0xAB);
}

inline Bytes fixed64Field(std::uint64_t number) {
    return varint(number << 3 | 1) + Bytes(8, 0xCD);
}

/// An account message: secret, name, issuer, then algorithm, digits and type when given.
inline Bytes account(const Bytes& secret, std::string_view name, std::string_view issuer,
                     std::uint64_t type = 2, std::uint64_t algorithm = 1,
                     std::uint64_t digits = 1) {
    return bytesField(1, secret) + textField(2, name) + textField(3, issuer) +
           varintField(4, algorithm) + varintField(5, digits) + varintField(6, type);
}

inline std::string base64(const Bytes& bytes) {
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes.data(),
                                       static_cast<int>(bytes.size()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

inline std::string percentEncoded(std::string_view text) {
    std::string result;
    for (const char character : text) {
        result += character == '+'   ? "%2B"
                  : character == '/' ? "%2F"
                  : character == '=' ? "%3D"
                                     : std::string(1, character);
    }
    return result;
}

/// The migration link of the payload, its Base64 percent-encoded.
inline std::string link(const Bytes& payload) {
    return "otpauth-migration://offline?data=" + percentEncoded(base64(payload));
}

} // namespace zemlar::TestPayload
