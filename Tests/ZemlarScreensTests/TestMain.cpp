// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the suite in a Qt application on the offscreen platform, with the user defaults and the
// XDG configuration folder (where the autostart file goes) in temporary folders.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <ZemlarScreens/Texts.hpp>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        return EXIT_FAILURE;
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.filePath("settings"));
    qputenv("XDG_CONFIG_HOME", scratch.filePath("config").toUtf8());
    QApplication application(argc, argv);
    zemlar::Texts::install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
