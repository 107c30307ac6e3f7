// SPDX-License-Identifier: GPL-3.0-or-later
// On the X server of DISPLAY if there is one; without it every test skips.
#include <TestSupport/OffscreenTestMain.hpp>

int main(int argc, char** argv) {
    return zemlar::testing::runOffscreenTests(argc, argv, [](const QTemporaryDir&) {
        if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
            qputenv("QT_QPA_PLATFORM", "xcb");
        }
    });
}
