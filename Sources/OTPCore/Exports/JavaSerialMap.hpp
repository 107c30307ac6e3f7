// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace zemlar::JavaSerialMap {

/// The string pairs of a serialised java.util.HashMap<String, String> (Java object
/// serialisation, stream version 5), in stream order; nothing for any other stream. Strings
/// are kept as their modified UTF-8 bytes.
std::optional<std::vector<std::pair<std::string, std::string>>>
entries(std::span<const std::uint8_t> stream);

/// True when the bytes begin a Java serialisation stream.
bool isStream(std::span<const std::uint8_t> bytes);

} // namespace zemlar::JavaSerialMap
