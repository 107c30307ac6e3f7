// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountStoreError.hpp"

#include <OTPCore/AccountList.hpp>
#include <OTPCore/Result.hpp>

namespace zemlar {

/// Where the account list lives.
class AccountStore {
public:
    virtual ~AccountStore() = default;

    /// An empty list when nothing is stored yet.
    virtual Result<Accounts, AccountStoreError> load() = 0;
    virtual Result<void, AccountStoreError> save(const Accounts& accounts) = 0;
};

} // namespace zemlar
