// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "../ZemlarKitTests/QtTestSupport.hpp"

#include <QCoroTask>
#include <QGuiApplication>
#include <QProcess>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

// Last: Qt's and GoogleTest's headers must not see Xlib's macros (None, Bool, Status).
#include "PhysicalKeyboard.hpp"
#include "TestTextField.hpp"

namespace zemlar::testing {

/// Whether the private server of scripts/with-x11 is there; the tests change its keyboard layout
/// and clipboard, which must never happen on a user's own display.
inline bool privateXServerRunning() {
    return std::getenv("ZEMLAR_TEST_X_SERVER") != nullptr;
}

struct ToolRun {
    int exitCode = -1;
    std::string output;
};

/// Runs a shell command to its end while our event loop keeps serving the clipboard to it.
inline ToolRun shell(const std::string& command) {
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(std::chrono::seconds(5), &loop, &QEventLoop::quit);
    process.start("sh", {"-c", QString::fromStdString(command)});
    loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString()};
}

/// A test that needs the private X server and the one GUI application object, made on it.
class X11Test : public ::testing::Test {
protected:
    void SetUp() override {
        if (!privateXServerRunning()) {
            GTEST_SKIP() << "needs the private X server: run under scripts/with-x11";
        }
        if (QCoreApplication::instance() == nullptr) {
            XInitThreads();
            qputenv("QT_QPA_PLATFORM", "xcb");
            static int argc = 1;
            static char name[] = "ZemlarKitX11Tests";
            static char* argv[] = {name, nullptr};
            new QGuiApplication(argc, argv);
        }
    }
};

} // namespace zemlar::testing
