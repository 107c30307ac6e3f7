// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/ExportCostLimits.hpp"

#include <OTPCore/ExportCostLimit.hpp>
#include <algorithm>
#include <charconv>
#include <fstream>
#include <limits>
#include <sstream>

namespace zemlar::ExportCostLimits {

namespace {

constexpr std::uint64_t mostMemory = std::uint64_t{4} << 30;

} // namespace

std::optional<std::uint64_t> availableMemory(std::string_view meminfo) {
    constexpr std::string_view label = "MemAvailable:";
    const std::size_t start = meminfo.find(label);
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view rest = meminfo.substr(start + label.size());
    rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
    std::uint64_t kibibytes = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), kibibytes);
    if (error != std::errc() || kibibytes > (std::numeric_limits<std::uint64_t>::max() >> 10) ||
        !std::string_view(end, rest.data() + rest.size()).starts_with(" kB")) {
        return std::nullopt;
    }
    return kibibytes << 10;
}

void applyToThisMachine() {
    std::ifstream file("/proc/meminfo");
    std::stringstream text;
    text << file.rdbuf();
    const auto available = availableMemory(text.str());
    if (!available) {
        return;
    }
    auto limit = ExternalExports::costLimit();
    limit.memoryBytes = std::min(*available, mostMemory);
    ExternalExports::limitCosts(limit);
}

} // namespace zemlar::ExportCostLimits
