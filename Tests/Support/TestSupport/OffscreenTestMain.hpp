// SPDX-License-Identifier: GPL-3.0-or-later
// The main of the Qt suites: a Qt application on the offscreen platform, with the user defaults
// in a scratch folder.
#pragma once

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace zemlar::testing {

/// Runs every test; `prepare` adjusts the environment (given the scratch folder) before the
/// application exists, `started` runs once it does.
inline int runOffscreenTests(int argc, char** argv,
                             const std::function<void(const QTemporaryDir&)>& prepare = {},
                             const std::function<void()>& started = {}) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        return EXIT_FAILURE;
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.filePath("settings"));
    if (prepare) {
        prepare(scratch);
    }
    QApplication application(argc, argv);
    if (started) {
        started();
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

} // namespace zemlar::testing
