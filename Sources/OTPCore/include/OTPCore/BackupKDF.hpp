// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Result.hpp"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

/// How the backup key is derived from the passphrase: PBKDF2-HMAC-SHA256 over the passphrase's
/// NFC-normalised UTF-8 bytes.
namespace zemlar::BackupKDF {

/// A closed range of iteration counts, both bounds included.
struct IterationRange {
    std::int64_t lowerBound;
    std::int64_t upperBound;

    constexpr bool contains(std::int64_t iterations) const {
        return iterations >= lowerBound && iterations <= upperBound;
    }
};

inline constexpr std::string_view name = "PBKDF2-HMAC-SHA256";
inline constexpr std::int64_t defaultIterations = 600'000;
/// The counts a file header may carry; the derivation itself does not check them.
inline constexpr IterationRange allowedIterations{100'000, 10'000'000};
inline constexpr std::size_t saltLength = 16;
inline constexpr std::size_t keyLength = 32;

/// The 32-byte key, or nothing for an empty passphrase, an empty salt, fewer than 1 iteration,
/// more than fit in 32 unsigned bits, or a failure of the derivation.
std::optional<Bytes> deriveKey(std::string_view passphrase, std::span<const std::uint8_t> salt,
                               std::int64_t iterations);

} // namespace zemlar::BackupKDF
