// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by Sites and AccountSearch: a host normalised once and matched against many accounts.
#pragma once

#include "OTPCore/Account.hpp"
#include "OTPCore/SiteMatch.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace zemlar::Sites {

class NormalizedHost {
public:
    explicit NormalizedHost(std::string_view host);

    SiteMatch match(const Account& account) const;

private:
    std::string host_;
    std::vector<std::string_view> labels_;
};

} // namespace zemlar::Sites
