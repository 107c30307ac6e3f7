// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/Result.hpp>
#include <cstddef>

/// Reading an open file to its end, but never more than a limit: a device such as /dev/zero or
/// a file that grows while it is read stops one chunk past the limit instead of filling memory.
namespace zemlar::BoundedRead {

/// 16 MiB: more than any file we read whole can hold (a backup of 10,000 accounts is about
/// 5 MB).
inline constexpr std::size_t wholeFileLimit = 16 * 1024 * 1024;

enum class Error { unreadable, tooLarge };

/// The rest of the file behind the descriptor. `expectedSize` only sizes the buffer up front, so
/// that it never grows and leaves partial copies in freed memory; on failure what was read is
/// wiped.
Result<Bytes, Error> readAll(int descriptor, std::size_t limit, std::size_t expectedSize);

} // namespace zemlar::BoundedRead
