// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/Result.hpp>
#include <OTPCore/UUID.hpp>
#include <string>

namespace zemlar {

/// One showing of an account's QR code: a fresh identifier, the account's title and the image.
struct ShownQRCode {
    UUID id;
    std::string title;
    /// A PNG image.
    Bytes png;

    bool operator==(const ShownQRCode&) const = default;
};

} // namespace zemlar
