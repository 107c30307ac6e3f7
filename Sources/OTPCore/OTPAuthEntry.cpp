// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/OTPAuthEntry.hpp"

#include "OTPCore/Crypto.hpp"

namespace zemlar {

OTPAuthEntry::OTPAuthEntry(std::string issuer, std::string name, Bytes secret,
                           OTPParameters parameters)
    : issuer(std::move(issuer)), name(std::move(name)), secret(std::move(secret)),
      parameters(parameters) {}

OTPAuthEntry::~OTPAuthEntry() {
    Crypto::wipe(secret);
}

Account OTPAuthEntry::account(const UUID& id, Date createdAt) const {
    return Account{.id = id,
                   .issuer = issuer,
                   .name = name,
                   .parameters = parameters,
                   .createdAt = createdAt,
                   .lastUsedAt = std::nullopt,
                   .useCount = 0,
                   .domains = {},
                   .groupID = std::nullopt,
                   .pressesReturn = false};
}

} // namespace zemlar
