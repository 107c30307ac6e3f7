// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/ActiveTabReader.hpp"

#include <QDBusConnection>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace zemlar {

/// Reads the front tab of a browser through the desktop's accessibility service (AT-SPI):
/// the application on the accessibility bus whose connection belongs to the window's process;
/// its window that is active or else the only one named like the window's title (Chromium
/// never marks its windows active); and there the shown web document, whose URL Chromium-based
/// browsers give as the document attribute "URI" and Firefox as "DocURL". Gives up, with
/// nothing, when the time limit runs out or when there is no accessibility bus, application,
/// such window or document. Blocks the calling thread while it asks.
class AtspiTabReader final : public ActiveTabReader {
public:
    explicit AtspiTabReader(std::chrono::milliseconds limit = std::chrono::seconds(2),
                            QDBusConnection sessionBus = QDBusConnection::sessionBus());

    std::optional<std::string> host(const BrowserWindow& window) const override;

    /// The bundle identifier of the browser whose windows have that `WM_CLASS` class (or
    /// instance) name, compared without regard to case; nothing for any other application.
    static std::optional<std::string> bundleID(std::string_view wmClass);

    /// Whether `host` knows how to find that browser on the accessibility bus.
    static bool isSupported(std::string_view bundleID);

private:
    std::chrono::milliseconds limit_;
    QDBusConnection sessionBus_;
};

} // namespace zemlar
