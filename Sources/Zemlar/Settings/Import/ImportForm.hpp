// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/OTPAlgorithm.hpp>
#include <cstdint>
#include <string>
#include <string_view>

namespace zemlar {

/// The fields of the manual-entry form as the user left them.
struct ImportForm {
    std::string issuer;
    std::string name;
    /// The typed key, or an otpauth link pasted in its place.
    std::string secret;
    OTPAlgorithm algorithm = OTPAlgorithm::sha1;
    std::int64_t digits = 6;
    std::int64_t period = 30;

    /// The smallest and largest period the form offers, and its step.
    static constexpr std::int64_t minimumPeriod = 5;
    static constexpr std::int64_t maximumPeriod = 300;
    static constexpr std::int64_t periodStep = 5;

    /// A key is typed and issuer and name together are not blank, or the key field holds a link
    /// (which brings its own issuer and name).
    bool isComplete() const;
    /// The key field holds an otpauth link (either kind), perhaps with blanks around it.
    bool holdsLink() const;
    /// Whether a typed key is an otpauth link, perhaps with blanks around it.
    static bool isLink(std::string_view key);
    /// Back to the initial fields; the typed key is wiped.
    void clear();

    bool operator==(const ImportForm&) const = default;
};

} // namespace zemlar
