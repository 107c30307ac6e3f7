// SPDX-License-Identifier: GPL-3.0-or-later
// Small builders shared by the backup tests.
#pragma once

#include "TestAccounts.hpp"

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
