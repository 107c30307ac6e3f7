// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bitwarden.hpp"
#include "ExportLink.hpp"
#include "OTPCore/Account.hpp"
#include "OTPCore/Crypto.hpp"

namespace zemlar::ExternalExports::Bitwarden {

Item::~Item() {
    Crypto::wipe(totp);
}

void add(ImportBatch& batch, const Item& item) {
    if (item.totp.empty()) {
        return;
    }
    const bool isLink = item.totp.find("://") != std::string::npos;
    auto account = isLink ? ExportLinks::fields(item.totp) : std::optional<ExportedAccount>{};
    if (isLink && !account) {
        batch.skipped.push_back(
            {AccountTitle::make(item.name, item.username), ImportSkipReason::invalid});
        return;
    }
    if (!account) {
        account.emplace();
        account->secret = item.totp;
    }
    if (account->issuer.empty() && account->name.empty()) {
        account->issuer = item.name;
        account->name = item.username;
    }
    account->group = item.folder;
    ExportedAccounts::add(batch, *account);
}

} // namespace zemlar::ExternalExports::Bitwarden
