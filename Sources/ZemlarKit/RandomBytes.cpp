// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/RandomBytes.hpp"

#include <cstdlib>
#include <openssl/rand.h>

namespace zemlar::RandomBytes {
namespace {

void fill(std::uint8_t* data, std::size_t count) {
    if (count > 0 && RAND_bytes(data, static_cast<int>(count)) != 1) {
        std::abort();
    }
}

} // namespace

Bytes generate(std::size_t count) {
    Bytes bytes(count);
    fill(bytes.data(), count);
    return bytes;
}

UUID uuid() {
    UUID::Storage bytes{};
    fill(bytes.data(), bytes.size());
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
    return UUID(bytes);
}

} // namespace zemlar::RandomBytes
