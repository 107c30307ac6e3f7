// SPDX-License-Identifier: GPL-3.0-or-later
// The tests use the X server on DISPLAY (start one with Xvfb) and press keys with xdotool; without
// a display the tests are listed and each one skips.
#include <TestSupport/OffscreenTestMain.hpp>

int main(int argc, char** argv) {
    return zemlar::testing::runOffscreenTests(argc, argv, [](const QTemporaryDir&) {
        if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
            qputenv("QT_QPA_PLATFORM", "xcb");
        }
    });
}
