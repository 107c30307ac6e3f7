// SPDX-License-Identifier: GPL-3.0-or-later
// Small builders for account, group and backup fixtures.
#pragma once

#include <OTPCore/Account.hpp>
#include <OTPCore/AccountGroup.hpp>
#include <OTPCore/BackupAccount.hpp>
#include <cstdio>
#include <string>

namespace zemlar::testing {

/// A fixed identifier whose last byte is `n`: 00000000-0000-0000-0000-0000000000NN.
inline UUID uuid(unsigned n) {
    UUID::Storage bytes{};
    bytes[14] = static_cast<std::uint8_t>(n >> 8);
    bytes[15] = static_cast<std::uint8_t>(n);
    return UUID(bytes);
}

inline Account account(unsigned n, std::string issuer, std::string name = "") {
    return Account{.id = uuid(n),
                   .issuer = std::move(issuer),
                   .name = std::move(name),
                   .parameters = OTPParameters::standard(),
                   .createdAt = Date(1740821400),
                   .lastUsedAt = std::nullopt,
                   .useCount = 0,
                   .domains = {},
                   .groupID = std::nullopt,
                   .pressesReturn = false};
}

inline AccountGroup group(unsigned n, std::string name) {
    return AccountGroup{.id = uuid(n), .name = std::move(name)};
}

} // namespace zemlar::testing

namespace zemlar::BackupTesting {

/// A fixed identifier: 00000000-0000-0000-0000-0000000000NN.
inline UUID id(int number) {
    char text[37];
    std::snprintf(text, sizeof text, "00000000-0000-0000-0000-%012d", number);
    return *UUID::parse(text);
}

inline Account account(int number, std::string issuer, std::string name,
                       OTPParameters parameters = OTPParameters::standard()) {
    Account made = testing::account(0, std::move(issuer), std::move(name));
    made.id = id(number);
    made.parameters = parameters;
    return made;
}

inline BackupAccount backupAccount(int number, std::string issuer, std::string name, Bytes secret) {
    return BackupAccount::make(account(number, std::move(issuer), std::move(name)),
                               std::move(secret), {});
}

} // namespace zemlar::BackupTesting
