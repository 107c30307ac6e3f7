// SPDX-License-Identifier: GPL-3.0-or-later
#include "DisplaySession.hpp"

#include <QGuiApplication>

namespace zemlar::DisplaySession {

QByteArray qtPlatform() {
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (!chosen.isEmpty()) {
        return chosen;
    }
    // Qt tries the platforms in turn: without its Wayland plugin, XWayland still serves.
    return qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? QByteArrayLiteral("xcb")
                                                          : QByteArrayLiteral("wayland;xcb");
}

void choosePlatform() {
    qputenv("QT_QPA_PLATFORM", qtPlatform());
}

Kind current() {
    const QByteArray platform = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                    ? QGuiApplication::platformName().toUtf8()
                                    : qtPlatform();
    return platform.startsWith("wayland") ? Kind::wayland : Kind::x11;
}

} // namespace zemlar::DisplaySession
