// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/BrowserScripts.hpp"

#include <algorithm>

namespace zemlar::BrowserScripts {
namespace {

template <std::size_t Count>
bool contains(const std::array<std::string_view, Count>& family, std::string_view bundleID) {
    return std::find(family.begin(), family.end(), bundleID) != family.end();
}

std::string script(std::string_view bundleID, std::string_view request) {
    std::string text = "tell application id \"";
    text.append(bundleID).append("\" ").append(request);
    return text;
}

} // namespace

std::optional<std::string> activeTabURLScript(std::string_view bundleID) {
    if (contains(safariFamily, bundleID)) {
        return script(bundleID, "to get URL of front document");
    }
    if (contains(chromiumFamily, bundleID)) {
        return script(bundleID, "to get URL of active tab of front window");
    }
    return std::nullopt;
}

} // namespace zemlar::BrowserScripts
