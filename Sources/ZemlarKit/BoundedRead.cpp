// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/BoundedRead.hpp"

#include <OTPCore/Crypto.hpp>
#include <algorithm>
#include <array>
#include <cerrno>
#include <unistd.h>

namespace zemlar::BoundedRead {

Result<Bytes, Error> readAll(int descriptor, std::size_t limit, std::size_t expectedSize) {
    Bytes bytes;
    bytes.reserve(std::min(expectedSize, limit) + 1);
    Crypto::Wiped<std::array<std::uint8_t, 64 * 1024>> chunk;
    for (;;) {
        const ssize_t count = ::read(descriptor, chunk->data(), chunk->size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            Crypto::wipe(bytes);
            return fail(Error::unreadable);
        }
        if (count == 0) {
            return bytes;
        }
        if (bytes.size() + static_cast<std::size_t>(count) > limit) {
            Crypto::wipe(bytes);
            return fail(Error::tooLarge);
        }
        bytes.insert(bytes.end(), chunk->begin(), chunk->begin() + count);
    }
}

} // namespace zemlar::BoundedRead
