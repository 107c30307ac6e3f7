// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/ImportFailure.hpp"

#include <OTPCore/Result.hpp>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

/// How an import source (an image, a text or both) becomes the one text the parser reads.
namespace zemlar::ImportText {

/// The QR payloads of the image joined by line feeds when there is at least one (the text is
/// then ignored); otherwise the text, even an empty one; otherwise noQRCode. An unreadable
/// image counts as one without codes.
Result<std::string, ImportFailure>
payloadText(std::optional<std::span<const std::uint8_t>> imageData,
            std::optional<std::string> text);

/// The bytes as text when they are valid UTF-8; nothing otherwise (no other encoding is tried).
std::optional<std::string> utf8Text(std::span<const std::uint8_t> bytes);

/// A file's bytes as an import source: the bytes as image data and, when valid UTF-8, as text.
Result<std::string, ImportFailure> fileText(std::span<const std::uint8_t> fileBytes);

} // namespace zemlar::ImportText
