// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

/// What this machine lets other apps' encrypted exports ask of their key derivations.
namespace zemlar::ExportCostLimits {

/// The memory a new allocation can take without swapping, from /proc/meminfo's MemAvailable;
/// nothing when the text has no such line.
std::optional<std::uint64_t> availableMemory(std::string_view meminfo);

/// Limits export key derivations to the memory available now, and to 4 GiB at most; leaves
/// the default limit when the system does not tell.
void applyToThisMachine();

} // namespace zemlar::ExportCostLimits
