// SPDX-License-Identifier: GPL-3.0-or-later
// Small builders shared by the backup tests.
#pragma once

#include <OTPCore/Account.hpp>
#include <OTPCore/BackupAccount.hpp>
#include <cstdio>
#include <string>

namespace zemlar::BackupTesting {

/// A fixed identifier: 00000000-0000-0000-0000-0000000000NN.
inline UUID id(int number) {
    char text[37];
    std::snprintf(text, sizeof text, "00000000-0000-0000-0000-%012d", number);
    return *UUID::parse(text);
}

inline Account account(int number, std::string issuer, std::string name,
                       OTPParameters parameters = OTPParameters::standard()) {
    return Account{.id = id(number),
                   .issuer = std::move(issuer),
                   .name = std::move(name),
                   .parameters = parameters,
                   .createdAt = Date(1'740'821'400.0), // 2025-03-01T09:30:00Z
                   .lastUsedAt = std::nullopt,
                   .useCount = 0,
                   .domains = {},
                   .groupID = std::nullopt,
                   .pressesReturn = false};
}

inline BackupAccount backupAccount(int number, std::string issuer, std::string name, Bytes secret) {
    return BackupAccount::make(account(number, std::move(issuer), std::move(name)),
                               std::move(secret), {});
}

} // namespace zemlar::BackupTesting
