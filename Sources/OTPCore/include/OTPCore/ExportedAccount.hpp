// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/ImportBatch.hpp"

#include <string>

namespace zemlar {

/// One account as another app's export describes it, before the rules of an otpauth link apply.
/// Fields hold the export's own text; empty ones take the link defaults.
struct ExportedAccount {
    /// "totp", "hotp", "steam"… as the export names it, in any case.
    std::string type = "totp";
    std::string issuer;
    std::string name;
    /// The secret in Base32, as most exports keep it.
    std::string secret;
    /// "SHA1", "SHA256", "SHA512"… in any case.
    std::string algorithm;
    std::string digits;
    std::string period;
    /// The group, folder or tag the export files the account under; empty for none.
    std::string group;

    ExportedAccount() = default;
    ExportedAccount(const ExportedAccount&) = default;
    ExportedAccount(ExportedAccount&&) noexcept = default;
    ExportedAccount& operator=(const ExportedAccount&) = default;
    ExportedAccount& operator=(ExportedAccount&&) noexcept = default;
    ~ExportedAccount();
};

namespace ExportedAccounts {

/// Adds the account to the batch exactly as its otpauth link would come in: an entry with the
/// same title, parameter and secret rules, or a skip titled like the account with the reason
/// (hotp for counter-based ones, unsupportedType for other kinds, invalidParameters, emptySecret,
/// and invalid for anything else a link would refuse).
void add(ImportBatch& batch, const ExportedAccount& account);

} // namespace ExportedAccounts
} // namespace zemlar
