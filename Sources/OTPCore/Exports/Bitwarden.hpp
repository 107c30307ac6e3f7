// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/ExternalExports.hpp"

#include <string>

/// The password manager's JSON and CSV exports, and its authenticator app's export.
namespace zemlar::ExternalExports::Bitwarden {

/// What a vault item says about its code; only a non-empty totp makes an account.
struct Item {
    std::string name;
    std::string username;
    /// An otpauth:// link, a steam:// link or a bare Base32 secret.
    std::string totp;
    std::string folder;

    ~Item();
};

/// Adds the item's account: a link's own fields, or for a bare secret or a steam:// link, a
/// TOTP account with the item's name as issuer and its user name as name.
void add(ImportBatch& batch, const Item& item);

bool recognisesJSON(std::string_view content);
Result<ImportBatch, ExportFailure> readJSON(std::string_view content, std::string_view password);

bool recognisesCSV(std::string_view content);
Result<ImportBatch, ExportFailure> readCSV(std::string_view content, std::string_view password);

} // namespace zemlar::ExternalExports::Bitwarden
