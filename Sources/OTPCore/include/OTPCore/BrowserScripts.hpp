// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

/// The scripts that ask a known browser for the URL of its front tab.
namespace zemlar::BrowserScripts {

/// Browsers whose front tab is the URL of their front document.
inline constexpr std::array<std::string_view, 2> safariFamily = {
    "com.apple.Safari", "com.apple.SafariTechnologyPreview"};

/// Browsers whose front tab is the active tab of their front window.
inline constexpr std::array<std::string_view, 7> chromiumFamily = {
    "com.google.Chrome",         "com.google.Chrome.canary", "org.chromium.Chromium",
    "com.brave.Browser",         "com.microsoft.edgemac",    "com.vivaldi.Vivaldi",
    "company.thebrowser.Browser"};

/// The script for a browser of either family; nothing for any other application.
std::optional<std::string> activeTabURLScript(std::string_view bundleID);

} // namespace zemlar::BrowserScripts
