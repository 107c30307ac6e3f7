// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zemlar {

/// Reads the host of the web page in the front tab of a browser.
class ActiveTabReader {
public:
    virtual ~ActiveTabReader() = default;

    /// The normalised host of the front tab's URL of the application with that bundle
    /// identifier; nothing for an application that is not a known browser, or when the browser
    /// cannot be asked within its time limit (no window, no permission, no answer).
    virtual std::optional<std::string> host(std::string_view bundleID) const = 0;

protected:
    ActiveTabReader() = default;
    ActiveTabReader(const ActiveTabReader&) = default;
    ActiveTabReader& operator=(const ActiveTabReader&) = default;
};

} // namespace zemlar
