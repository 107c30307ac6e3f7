// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/UUID.hpp"

#include <string>
#include <vector>

namespace zemlar {

/// A named group that accounts point at through their groupID.
struct AccountGroup {
    UUID id;
    std::string name;

    bool operator==(const AccountGroup&) const = default;
};

using Groups = std::vector<AccountGroup>;

} // namespace zemlar
