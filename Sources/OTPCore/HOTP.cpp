// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/HOTP.hpp"

#include "OTPCore/Crypto.hpp"

#include <array>

namespace zemlar::HOTP {
namespace {

Crypto::Digest digestOf(OTPAlgorithm algorithm) {
    switch (algorithm) {
    case OTPAlgorithm::sha1:
        return Crypto::Digest::sha1;
    case OTPAlgorithm::sha256:
        return Crypto::Digest::sha256;
    case OTPAlgorithm::sha512:
        return Crypto::Digest::sha512;
    }
    return Crypto::Digest::sha1;
}

std::array<std::uint8_t, 8> bigEndian(std::uint64_t counter) {
    std::array<std::uint8_t, 8> message{};
    for (std::size_t index = 0; index < message.size(); ++index) {
        message[message.size() - 1 - index] = static_cast<std::uint8_t>(counter >> (8 * index));
    }
    return message;
}

std::uint32_t powerOfTen(std::int64_t exponent) {
    std::uint32_t result = 1;
    for (std::int64_t step = 0; step < exponent; ++step) {
        result *= 10;
    }
    return result;
}

} // namespace

std::string code(std::span<const std::uint8_t> secret, std::uint64_t counter,
                 const OTPParameters& parameters) {
    const auto message = bigEndian(counter);
    const Crypto::MAC mac = Crypto::hmac(digestOf(parameters.algorithm()), secret, message);
    if (mac.length < minimumMACLength) {
        return {};
    }
    std::uint32_t value = dynamicTruncation(mac.view()) % powerOfTen(parameters.digits());
    std::string text(static_cast<std::size_t>(parameters.digits()), '0');
    for (auto position = text.rbegin(); position != text.rend() && value > 0; ++position) {
        *position = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return text;
}

Bytes hmac(OTPAlgorithm algorithm, std::span<const std::uint8_t> key,
           std::span<const std::uint8_t> message) {
    const Crypto::MAC mac = Crypto::hmac(digestOf(algorithm), key, message);
    const auto view = mac.view();
    return Bytes(view.begin(), view.end());
}

std::uint32_t dynamicTruncation(std::span<const std::uint8_t> mac) {
    if (mac.size() < minimumMACLength) {
        return 0;
    }
    const std::size_t offset = mac.back() & 0x0F;
    return (static_cast<std::uint32_t>(mac[offset] & 0x7F) << 24) |
           (static_cast<std::uint32_t>(mac[offset + 1]) << 16) |
           (static_cast<std::uint32_t>(mac[offset + 2]) << 8) |
           static_cast<std::uint32_t>(mac[offset + 3]);
}

} // namespace zemlar::HOTP
