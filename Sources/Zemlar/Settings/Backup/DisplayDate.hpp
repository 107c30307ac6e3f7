// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/Date.hpp>
#include <QLocale>
#include <QString>

/// Moments as the screens show them.
namespace zemlar::DisplayDate {

/// The local date with an abbreviated month and the short time, in the locale's order
/// ("1 Mar 2025 10:30", "Mar 1, 2025 10:30 AM").
QString abbreviated(Date date, const QLocale& locale = QLocale());

} // namespace zemlar::DisplayDate
