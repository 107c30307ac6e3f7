// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/SecretStore.hpp"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>

namespace zemlar {

/// Secrets held for a while (the panel's, while it is open) in memory of their own: locked so
/// that it is never swapped out and left out of core dumps where the system allows it (both
/// fail quietly under tight limits), wiped and unmapped when the value dies or is cleared.
class LockedSecrets {
public:
    LockedSecrets() = default;
    /// Copies the secrets in and wipes the map's buffers.
    explicit LockedSecrets(SecretMap&& secrets);
    LockedSecrets(const LockedSecrets&) = delete;
    LockedSecrets& operator=(const LockedSecrets&) = delete;
    LockedSecrets(LockedSecrets&& other) noexcept;
    LockedSecrets& operator=(LockedSecrets&& other) noexcept;
    ~LockedSecrets();

    /// The secret of an account; nothing when none is held.
    std::optional<std::span<const std::uint8_t>> find(const UUID& id) const;
    bool empty() const { return index_.empty(); }
    void clear();

private:
    std::uint8_t* memory_ = nullptr;
    std::size_t length_ = 0;
    std::map<UUID, std::span<const std::uint8_t>> index_;
};

} // namespace zemlar
