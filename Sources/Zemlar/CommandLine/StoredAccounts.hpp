// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppEnvironment.hpp"

#include <OTPCore/AccountGroup.hpp>
#include <OTPCore/AccountList.hpp>
#include <OTPCore/Result.hpp>
#include <QString>

namespace zemlar::CommandLine {

/// The account and group lists as the commands read them.
struct StoredAccounts {
    Accounts accounts;
    Groups groups;

    /// Both lists; the text of the failure when either cannot be read.
    static Result<StoredAccounts, QString> load(const AppEnvironment& environment);
};

} // namespace zemlar::CommandLine
