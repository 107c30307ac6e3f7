// SPDX-License-Identifier: GPL-3.0-or-later
// The XDG configuration folder, where the autostart file goes, is a scratch folder too.
#include <TestSupport/OffscreenTestMain.hpp>
#include <ZemlarScreens/Texts.hpp>

int main(int argc, char** argv) {
    return zemlar::testing::runOffscreenTests(
        argc, argv,
        [](const QTemporaryDir& scratch) {
            qputenv("XDG_CONFIG_HOME", scratch.filePath("config").toUtf8());
        },
        [] { zemlar::Texts::install(); });
}
