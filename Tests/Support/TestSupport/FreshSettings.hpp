// SPDX-License-Identifier: GPL-3.0-or-later
// User defaults for the Qt suites: kept in the scratch folder of runOffscreenTests and emptied
// around each test.
#pragma once

#include <QSettings>
#include <gtest/gtest.h>

namespace zemlar::testing {

class FreshSettings : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }

    static QSettings defaults() {
        return QSettings(QStringLiteral("Zemlar"), QStringLiteral("Zemlar"));
    }

    static QVariant stored(const QString& key) { return defaults().value(key); }

    static void store(const QString& key, const QVariant& value) {
        QSettings settings = defaults();
        settings.setValue(key, value);
        settings.sync();
    }

private:
    static void clear() {
        QSettings settings = defaults();
        settings.clear();
        settings.sync();
    }
};

} // namespace zemlar::testing
