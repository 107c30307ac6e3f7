// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/QRCodeError.hpp"

#include <OTPCore/Result.hpp>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

/// Reads the QR codes of an image. Stateless and safe on any thread; total over any bytes.
namespace zemlar::QRCodeReader {

/// The distinct text payloads of the QR codes in the first image of the data (PNG, JPEG, TIFF,
/// BMP, GIF, WebP), in detection order, the first occurrence of a repeated text kept. An image
/// without codes gives an empty list. Transparent pixels count as white.
Result<std::vector<std::string>, QRCodeError> payloads(std::span<const std::uint8_t> imageData);

} // namespace zemlar::QRCodeReader
