// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PanelModel.hpp"

#include <QString>
#include <optional>

/// What the panel writes besides the rows.
namespace zemlar::PanelTexts {

/// The message shown instead of the list when there are no results; nothing otherwise.
std::optional<QString> message(const PanelModel& model);

/// The whole seconds until the fresh code, rounded up, at least 1.
long long secondsUntil(Date moment, Date now);

/// The footer at `now`: the countdown while a delivery waits, the key help otherwise.
QString footer(const PanelModel& model, Date now);

/// The row's title: the issuer, or the name when the issuer is empty.
QString title(const Account& account);
/// The smaller line under the title: the name when both issuer and name are given.
std::optional<QString> subtitle(const Account& account);

} // namespace zemlar::PanelTexts
