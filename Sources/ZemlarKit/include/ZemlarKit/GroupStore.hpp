// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountStoreError.hpp"

#include <OTPCore/AccountGroup.hpp>
#include <OTPCore/Result.hpp>

namespace zemlar {

/// Where the group list lives.
class GroupStore {
public:
    virtual ~GroupStore() = default;

    /// An empty list when nothing is stored yet.
    virtual Result<Groups, AccountStoreError> load() = 0;
    virtual Result<void, AccountStoreError> save(const Groups& groups) = 0;
};

} // namespace zemlar
