// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Result.hpp"

#include <array>
#include <cstddef>
#include <span>

namespace zemlar::Crypto {

enum class Digest { sha1, sha256, sha512 };

/// The largest MAC any Digest gives (SHA-512).
constexpr std::size_t maximumMACLength = 64;

struct MAC {
    std::array<std::uint8_t, maximumMACLength> bytes{};
    std::size_t length = 0;

    std::span<const std::uint8_t> view() const { return {bytes.data(), length}; }
    ~MAC();
};

/// HMAC of `message` keyed with `key` as it is (any length), without touching the heap.
MAC hmac(Digest digest, std::span<const std::uint8_t> key, std::span<const std::uint8_t> message);

/// Overwrites the bytes with zeros in a way the optimiser keeps.
void wipe(std::span<std::uint8_t> bytes);

} // namespace zemlar::Crypto
