// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/ExportCostLimit.hpp"

#include <atomic>

namespace zemlar::ExternalExports {
namespace {

std::atomic<std::uint64_t> memoryBytes{CostLimit{}.memoryBytes};
std::atomic<std::uint64_t> iterations{CostLimit{}.iterations};

} // namespace

CostLimit costLimit() {
    return {memoryBytes.load(), iterations.load()};
}

void limitCosts(CostLimit limit) {
    memoryBytes.store(limit.memoryBytes);
    iterations.store(limit.iterations);
}

} // namespace zemlar::ExternalExports
