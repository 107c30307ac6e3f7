// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by Sites and AccountSearch: a host normalised once and matched against many accounts.
#pragma once

#include "OTPCore/Account.hpp"
#include "OTPCore/SiteMatch.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zemlar::Sites {

class NormalizedHost {
public:
    explicit NormalizedHost(std::string_view host);

    SiteMatch match(const Account& account) const;

private:
    SiteMatch matchOfIssuerKey(std::string_view key, std::size_t length) const;
    std::optional<SiteMatch> matchOfASCIIIssuer(std::string_view issuer) const;

    std::string host_;
    std::vector<std::string> labels_;
    std::size_t longestLabel_ = 0;
};

} // namespace zemlar::Sites
