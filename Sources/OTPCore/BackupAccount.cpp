// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/BackupAccount.hpp"

namespace zemlar {

BackupAccount BackupAccount::make(const Account& account, Bytes secret,
                                  std::vector<std::string> recoveryCodes) {
    return BackupAccount{
        .id = account.id,
        .issuer = account.issuer,
        .name = account.name,
        .parameters = account.parameters,
        .secret = std::move(secret),
        .createdAt = account.createdAt,
        .domains = account.domains,
        .groupID = account.groupID,
        .pressesReturn = account.pressesReturn ? std::optional<bool>(true) : std::nullopt,
        .recoveryCodes = recoveryCodes.empty()
                             ? std::nullopt
                             : std::optional<std::vector<std::string>>(std::move(recoveryCodes)),
    };
}

Account BackupAccount::account() const {
    return Account{
        .id = id,
        .issuer = issuer,
        .name = name,
        .parameters = parameters,
        .createdAt = createdAt,
        .lastUsedAt = std::nullopt,
        .useCount = 0,
        .domains = domains.value_or(std::vector<std::string>()),
        .groupID = groupID,
        .pressesReturn = pressesReturn.value_or(false),
    };
}

} // namespace zemlar
