// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/ImportText.hpp"

#include "ZemlarKit/QRCodeReader.hpp"

namespace zemlar {

std::string ImportFailure::describe() const {
    switch (kind_) {
    case Kind::manual:
        return "manual(" + manualError_.describe() + ")";
    case Kind::emptyClipboard:
        return "emptyClipboard";
    case Kind::unreadableFile:
        return "unreadableFile";
    case Kind::fileTooLarge:
        return "fileTooLarge";
    case Kind::noQRCode:
        return "noQRCode";
    case Kind::refusedExport:
        return "refusedExport(" + std::string(ExportFailures::describe(exportFailure_)) + ")";
    }
    return "noQRCode";
}

namespace ImportText {

Result<std::string, ImportFailure>
payloadText(std::optional<std::span<const std::uint8_t>> imageData,
            std::optional<std::string> text) {
    if (imageData) {
        const auto payloads = QRCodeReader::payloads(*imageData);
        if (payloads && !payloads->empty()) {
            std::string joined;
            for (std::size_t index = 0; index < payloads->size(); ++index) {
                if (index > 0) {
                    joined += '\n';
                }
                joined += (*payloads)[index];
            }
            return joined;
        }
    }
    if (text) {
        return std::move(*text);
    }
    return fail(ImportFailure::noQRCode());
}

std::optional<std::string> utf8Text(std::span<const std::uint8_t> bytes) {
    std::size_t index = 0;
    while (index < bytes.size()) {
        const std::uint8_t lead = bytes[index];
        std::size_t length = 0;
        char32_t codePoint = 0;
        if (lead < 0x80) {
            ++index;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            codePoint = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            codePoint = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            codePoint = lead & 0x07u;
        } else {
            return std::nullopt;
        }
        if (index + length > bytes.size()) {
            return std::nullopt;
        }
        for (std::size_t offset = 1; offset < length; ++offset) {
            const std::uint8_t continuation = bytes[index + offset];
            if ((continuation & 0xC0u) != 0x80u) {
                return std::nullopt;
            }
            codePoint = (codePoint << 6) | (continuation & 0x3Fu);
        }
        const bool overlong =
            (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
        const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
        if (overlong || surrogate || codePoint > 0x10FFFF) {
            return std::nullopt;
        }
        index += length;
    }
    return std::string(bytes.begin(), bytes.end());
}

Result<std::string, ImportFailure> fileText(std::span<const std::uint8_t> fileBytes) {
    return payloadText(fileBytes, utf8Text(fileBytes));
}

} // namespace ImportText
} // namespace zemlar
