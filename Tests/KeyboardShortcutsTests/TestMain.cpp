// SPDX-License-Identifier: GPL-3.0-or-later
// No X display: the recorder's tests replace the display checks.
#include <TestSupport/OffscreenTestMain.hpp>

int main(int argc, char** argv) {
    return zemlar::testing::runOffscreenTests(argc, argv,
                                              [](const QTemporaryDir&) { qunsetenv("DISPLAY"); });
}
