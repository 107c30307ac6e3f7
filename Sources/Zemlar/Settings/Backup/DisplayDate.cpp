// SPDX-License-Identifier: GPL-3.0-or-later
#include "DisplayDate.hpp"

#include <QDateTime>
#include <QRegularExpression>
#include <cmath>

namespace zemlar::DisplayDate {

QString abbreviated(Date date, const QLocale& locale) {
    const auto milliseconds = static_cast<qint64>(std::floor(date.secondsSince1970() * 1000));
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(milliseconds).toLocalTime();
    // The locale's long date without the weekday and with the short month name.
    QString format = locale.dateFormat(QLocale::LongFormat);
    static const QRegularExpression weekday(QStringLiteral("d{3,4}[,.]?\\s*"));
    format.remove(weekday);
    format.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    // The short time, without seconds where the locale's short form has them.
    QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
    static const QRegularExpression seconds(QStringLiteral("[:.]ss"));
    timeFormat.remove(seconds);
    return locale.toString(local.date(), format.trimmed()) + QLatin1Char(' ') +
           locale.toString(local.time(), timeFormat);
}

} // namespace zemlar::DisplayDate
