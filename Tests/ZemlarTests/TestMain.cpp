// SPDX-License-Identifier: GPL-3.0-or-later
// The offscreen test main, without an X display.
#include <TestSupport/OffscreenTestMain.hpp>
#include <ZemlarScreens/Texts.hpp>

int main(int argc, char** argv) {
    return zemlar::testing::runOffscreenTests(
        argc, argv, [](const QTemporaryDir&) { qunsetenv("DISPLAY"); },
        [] { zemlar::Texts::install(); });
}
