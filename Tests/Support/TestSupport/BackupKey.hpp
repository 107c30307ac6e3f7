// SPDX-License-Identifier: GPL-3.0-or-later
// One passphrase with a fixed salt and a low iteration count, so that tests derive its key fast.
#pragma once

#include <OTPCore/BackupKDF.hpp>
#include <OTPCore/Result.hpp>
#include <cstdint>
#include <string_view>

namespace zemlar::testing {

inline constexpr std::int64_t testIterations = 100'000;
inline constexpr std::string_view testPassphrase = "correct horse battery staple";

inline const Bytes& testSalt() {
    static const Bytes salt(16, 0x5A);
    return salt;
}

/// The key of testPassphrase over testSalt, derived once.
inline const Bytes& testKey() {
    static const Bytes key = *BackupKDF::deriveKey(testPassphrase, testSalt(), testIterations);
    return key;
}

} // namespace zemlar::testing
