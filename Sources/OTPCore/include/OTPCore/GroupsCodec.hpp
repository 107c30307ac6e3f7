// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/AccountGroup.hpp"
#include "OTPCore/AccountsCodecError.hpp"
#include "OTPCore/Result.hpp"

#include <span>

/// The group file: {"version": 1, "groups": [{"id", "name"}...]}, pretty-printed, keys sorted.
namespace zemlar::GroupsCodec {

inline constexpr std::int64_t currentVersion = 1;

Result<Bytes, AccountsCodecError> encode(const Groups& groups);

/// The groups in file order; the version is probed first and nothing is half-read.
Result<Groups, AccountsCodecError> decode(std::span<const std::uint8_t> bytes);

} // namespace zemlar::GroupsCodec
