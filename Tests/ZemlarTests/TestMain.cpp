// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the suite in a Qt application on the offscreen platform, with the user defaults in a
// temporary folder and no X display.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <ZemlarScreens/Texts.hpp>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("DISPLAY");
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsFolder;
    if (!settingsFolder.isValid()) {
        return EXIT_FAILURE;
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    QApplication application(argc, argv);
    zemlar::Texts::install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
