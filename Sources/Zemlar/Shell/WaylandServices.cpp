// SPDX-License-Identifier: GPL-3.0-or-later
#include "WaylandServices.hpp"

#include "AppEnvironment.hpp"

#include <KeyboardShortcuts/HotKeyBackend.hpp>
#include <Portal/GlobalShortcutsPortal.hpp>
#include <Portal/PortalHotKeys.hpp>
#include <Portal/PortalRequest.hpp>
#include <Portal/RemoteDesktopTyping.hpp>
#include <QGuiApplication>
#include <Wayland/WaylandPasteboard.hpp>

namespace zemlar::WaylandServices {

void install(LiveDeliveryMethods& delivery, std::function<QString(const QString&)> describe) {
    if (QGuiApplication::platformName() != QLatin1String("wayland")) {
        return;
    }
    Portal::registerApplication(QDBusConnection::sessionBus(), QGuiApplication::desktopFileName());
    if (GlobalShortcutsPortal::offered()) {
        KeyboardShortcuts::useHotKeyBackend(std::make_shared<PortalHotKeys>(
            std::make_shared<GlobalShortcutsPortal>(), std::move(describe)));
    }
    if (RemoteDesktopTyping::offered()) {
        delivery.desktopTyping = [vault = AppEnvironment::liveVault()](bool pressReturn) {
            return std::make_unique<RemoteDesktopTyping>(vault, pressReturn);
        };
    }
    delivery.clipboard.pasteboard = std::make_shared<WaylandPasteboard>();
}

} // namespace zemlar::WaylandServices
