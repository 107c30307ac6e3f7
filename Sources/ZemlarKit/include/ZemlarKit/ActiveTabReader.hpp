// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zemlar {

/// The browser window that was in front.
struct BrowserWindow {
    /// The browser's bundle identifier.
    std::string bundleID;
    /// The process that owns the window (its _NET_WM_PID).
    std::int64_t pid = 0;
    /// The window's title, as the window manager shows it.
    std::string title;
};

/// Reads the host of the web page in the front tab of a browser.
class ActiveTabReader {
public:
    virtual ~ActiveTabReader() = default;

    /// The normalised host of the front tab's URL in that window; nothing for an application
    /// that is not a known browser, or when the browser cannot be asked within its time limit
    /// (no window, no permission, no answer).
    virtual std::optional<std::string> host(const BrowserWindow& window) const = 0;

protected:
    ActiveTabReader() = default;
    ActiveTabReader(const ActiveTabReader&) = default;
    ActiveTabReader& operator=(const ActiveTabReader&) = default;
};

} // namespace zemlar
