// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Account.hpp"
#include "OTPCore/Result.hpp"

namespace zemlar {

/// One parsed account before it is stored: from a link, a migration payload or the manual form.
/// The secret is never empty; its buffer is wiped when the entry dies.
struct OTPAuthEntry {
    std::string issuer;
    std::string name;
    Bytes secret;
    OTPParameters parameters;
    /// The name of the group, folder or tag the source filed the account under; empty for none.
    std::string group;

    /// A new account record of this entry: no use yet, no domains, no group, no Return.
    /// The secret stays out of the record.
    Account account(const UUID& id, Date createdAt) const;

    OTPAuthEntry(std::string issuer, std::string name, Bytes secret, OTPParameters parameters);
    OTPAuthEntry(const OTPAuthEntry&) = default;
    OTPAuthEntry(OTPAuthEntry&&) noexcept = default;
    OTPAuthEntry& operator=(const OTPAuthEntry&) = default;
    OTPAuthEntry& operator=(OTPAuthEntry&&) noexcept = default;
    ~OTPAuthEntry();

    bool operator==(const OTPAuthEntry&) const = default;
};

} // namespace zemlar
