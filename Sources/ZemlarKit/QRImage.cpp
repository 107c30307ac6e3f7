// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/QRImage.hpp"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <memory>
#include <qrencode.h>

namespace zemlar::QRImage {

namespace {

constexpr int pixelsPerModule = 10;
constexpr int quietZoneModules = 4;

struct QRcodeDeleter {
    void operator()(QRcode* code) const { QRcode_free(code); }
};

} // namespace

std::optional<Bytes> png(std::string_view text) {
    if (text.size() > 8192) {
        return std::nullopt;
    }
    const std::unique_ptr<QRcode, QRcodeDeleter> code(
        QRcode_encodeData(static_cast<int>(text.size()),
                          reinterpret_cast<const unsigned char*>(text.data()), 0, QR_ECLEVEL_M));
    if (!code) {
        return std::nullopt;
    }
    const int modules = code->width + 2 * quietZoneModules;
    const int side = modules * pixelsPerModule;
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(255);
    for (int row = 0; row < code->width; ++row) {
        for (int column = 0; column < code->width; ++column) {
            // Bit 0 of each module byte is set for a dark module.
            if ((code->data[row * code->width + column] & 1) == 0) {
                continue;
            }
            const int top = (row + quietZoneModules) * pixelsPerModule;
            const int left = (column + quietZoneModules) * pixelsPerModule;
            for (int y = top; y < top + pixelsPerModule; ++y) {
                std::fill_n(image.scanLine(y) + left, pixelsPerModule, std::uint8_t{0});
            }
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return std::nullopt;
    }
    return Bytes(bytes.begin(), bytes.end());
}

} // namespace zemlar::QRImage
