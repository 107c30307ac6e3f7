// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/Result.hpp>
#include <optional>
#include <string_view>

/// Draws QR codes.
namespace zemlar::QRImage {

/// A PNG of the QR code of the text's UTF-8 bytes at error-correction level M, 10 × 10 pixels
/// per module with the standard quiet zone of four modules; nothing when the text does not fit
/// into a QR code or the image cannot be written.
std::optional<Bytes> png(std::string_view text);

} // namespace zemlar::QRImage
