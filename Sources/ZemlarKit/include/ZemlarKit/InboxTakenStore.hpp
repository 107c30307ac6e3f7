// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/UUID.hpp>
#include <set>

namespace zemlar {

/// The identifiers of the inbox accounts this computer has already taken. Never fails.
class InboxTakenStore {
public:
    virtual ~InboxTakenStore() = default;

    virtual std::set<UUID> taken() = 0;
    virtual void set(const std::set<UUID>& ids) = 0;
};

/// The taken identifiers in the user defaults under "inboxTakenAccounts": an array of
/// upper-case UUID texts in ascending order. Entries that are not identifiers are dropped.
struct UserDefaultsInboxTakenStore : InboxTakenStore {
    static constexpr const char* key = "inboxTakenAccounts";

    std::set<UUID> taken() override;
    void set(const std::set<UUID>& ids) override;

    bool operator==(const UserDefaultsInboxTakenStore&) const = default;
};

} // namespace zemlar
