// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the suite in a Qt application with the user defaults in a temporary folder. The tests
// use the X server on DISPLAY (start one with Xvfb) and press keys with xdotool.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsFolder;
    if (!settingsFolder.isValid()) {
        return EXIT_FAILURE;
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen"); // lists the tests; each one then skips
    } else {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
