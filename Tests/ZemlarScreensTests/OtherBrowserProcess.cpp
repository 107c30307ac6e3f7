// SPDX-License-Identifier: GPL-3.0-or-later
// A second browser on the accessibility bus, in a process of its own: named like the real one,
// with an active window showing another site. Prints its bus name, then serves until its
// standard input closes.
#include "FakeAccessibility.hpp"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

using namespace zemlar::testing;

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    registerAccessibilityTypes();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return 1;
    }
    FakeAccessibility fake;
    fake.service = bus.baseService();
    fake.nodes = {
        {"/other/browser", {"Chromium", 0, {"/other/window"}, {}}},
        {"/other/window", {"Sign in", active, {"/other/window/page"}, {}}},
        {"/other/window/page", {{}, showing, {}, {{"URI", "https://other.example.org/"}}}},
    };
    if (!bus.registerVirtualObject(QStringLiteral("/other"), &fake, QDBusConnection::SubPath)) {
        return 1;
    }
    std::printf("%s\n", qPrintable(fake.service));
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &application, [&application] {
        char byte = 0;
        if (read(STDIN_FILENO, &byte, 1) <= 0) {
            application.quit();
        }
    });
    return application.exec();
}
