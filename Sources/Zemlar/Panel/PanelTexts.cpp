// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelTexts.hpp"

#include <ZemlarScreens/Texts.hpp>
#include <cmath>

namespace zemlar::PanelTexts {

std::optional<QString> message(const PanelModel& model) {
    if (model.resultCount() > 0) {
        return std::nullopt;
    }
    if (model.loadFailed) {
        return Texts::text("Couldn't read the account list");
    }
    if (model.accounts.empty()) {
        return Texts::text("No accounts yet");
    }
    return Texts::text("Nothing found");
}

long long secondsUntil(Date moment, Date now) {
    const double left = std::ceil(moment.secondsSince1970() - now.secondsSince1970());
    return std::max(1LL, static_cast<long long>(left));
}

QString footer(const PanelModel& model, Date now) {
    if (model.waitingUntil) {
        return Texts::format("The code is about to expire, a new one in %lld s · esc to cancel",
                             {QString::number(secondsUntil(*model.waitingUntil, now))});
    }
    return Texts::text("↩ type · ⇧↩ type and submit · ⌘↩ copy · esc close");
}

QString title(const Account& account) {
    return QString::fromStdString(account.issuer.empty() ? account.name : account.issuer);
}

std::optional<QString> subtitle(const Account& account) {
    if (account.issuer.empty() || account.name.empty()) {
        return std::nullopt;
    }
    return QString::fromStdString(account.name);
}

} // namespace zemlar::PanelTexts
