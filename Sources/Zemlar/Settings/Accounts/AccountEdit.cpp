// SPDX-License-Identifier: GPL-3.0-or-later
#include "AccountEdit.hpp"

namespace zemlar {

AccountEdit AccountEdit::of(const Account& account) {
    std::string sites;
    for (const auto& domain : account.domains) {
        sites += (sites.empty() ? "" : ", ") + domain;
    }
    return AccountEdit{.issuer = account.issuer,
                       .name = account.name,
                       .sites = std::move(sites),
                       .groupID = account.groupID,
                       .pressesReturn = account.pressesReturn};
}

} // namespace zemlar
