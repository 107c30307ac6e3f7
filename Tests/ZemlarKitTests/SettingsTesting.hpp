// SPDX-License-Identifier: GPL-3.0-or-later
// User defaults for tests: kept in a scratch folder, never in the user's own settings.
#pragma once

#include "StoreDoubles.hpp"

#include <QSettings>
#include <QStandardPaths>
#include <QString>

namespace zemlar::testing {

/// While it lives, QSettings("Zemlar", "Zemlar") reads and writes a file in a scratch folder.
class ScratchSettings {
public:
    ScratchSettings() {
        QStandardPaths::setTestModeEnabled(true);
        const QString path = QString::fromStdString(folder_.path.string());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path);
    }

    static QSettings settings() {
        return QSettings(QStringLiteral("Zemlar"), QStringLiteral("Zemlar"));
    }

private:
    ScratchFolder folder_;
};

} // namespace zemlar::testing
