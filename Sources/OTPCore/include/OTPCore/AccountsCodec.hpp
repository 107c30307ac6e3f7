// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/AccountList.hpp"
#include "OTPCore/AccountsCodecError.hpp"
#include "OTPCore/Result.hpp"

#include <span>

/// The account file: {"version": 1, "accounts": [...]}, pretty-printed with sorted keys.
namespace zemlar::AccountsCodec {

inline constexpr std::int64_t currentVersion = 1;

Result<Bytes, AccountsCodecError> encode(const Accounts& accounts);

/// The accounts in file order. The version is probed first; nothing is half-read: any account
/// that does not decode makes the whole file malformed.
Result<Accounts, AccountsCodecError> decode(std::span<const std::uint8_t> bytes);

} // namespace zemlar::AccountsCodec
