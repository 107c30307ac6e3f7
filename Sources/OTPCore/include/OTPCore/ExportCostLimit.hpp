// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace zemlar::ExternalExports {

/// How much an encrypted export's key derivation may ask for. The costs come from the file, so
/// a file asking for more is refused with tooCostly instead of exhausting the machine.
struct CostLimit {
    static constexpr std::uint64_t gibibyte = std::uint64_t{1} << 30;
    /// Memory of a memory-hard derivation: at least the 1 GiB some apps ask for.
    std::uint64_t memoryBytes = gibibyte;
    /// PBKDF2 iterations and Argon2 passes.
    std::uint64_t iterations = 10'000'000;

    bool allows(std::uint64_t memory, std::uint64_t rounds) const {
        return memory <= memoryBytes && rounds <= iterations;
    }
};

/// The limit every reader applies; the default one until the application sets its own.
CostLimit costLimit();

/// Sets the limit, e.g. to the memory the machine has available; the same for every thread.
void limitCosts(CostLimit limit);

} // namespace zemlar::ExternalExports
