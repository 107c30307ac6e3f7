// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zemlar {

/// A 128-bit identifier, written as 8-4-4-4-12 hexadecimal text.
class UUID {
public:
    using Storage = std::array<std::uint8_t, 16>;

    constexpr UUID() = default;
    constexpr explicit UUID(Storage bytes) : bytes_(bytes) {}

    /// Canonical 8-4-4-4-12 text in either letter case; nothing for any other text.
    static std::optional<UUID> parse(std::string_view text);

    /// Canonical text, upper case.
    std::string uuidString() const;
    const Storage& bytes() const { return bytes_; }

    constexpr auto operator<=>(const UUID&) const = default;

private:
    Storage bytes_{};
};

} // namespace zemlar

template <> struct std::hash<zemlar::UUID> {
    std::size_t operator()(const zemlar::UUID& uuid) const noexcept;
};
