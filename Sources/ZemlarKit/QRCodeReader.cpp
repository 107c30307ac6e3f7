// SPDX-License-Identifier: GPL-3.0-or-later
#define ZX_USE_UTF8
#include "ZemlarKit/QRCodeReader.hpp"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QImageReader>
#include <ZXing/ReadBarcode.h>
#include <algorithm>
#include <exception>
#include <limits>
#include <optional>

namespace zemlar {

std::string QRCodeError::describe() const {
    switch (kind_) {
    case Kind::unreadableImage:
        return "unreadableImage";
    case Kind::detectionFailed:
        return "detectionFailed";
    }
    return "detectionFailed";
}

namespace {

/// One luminance byte per pixel; transparent pixels are blended over white, so that a code
/// drawn on a transparent background keeps its contrast.
struct LuminanceImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

/// Photos above this many pixels are first read at half size, which the JPEG decoder does
/// several times faster; only when that finds no code is the full image read.
constexpr qint64 halfSizeAbovePixels = 6'000'000;

std::optional<QImage> firstImage(std::span<const std::uint8_t> data, bool halfSize) {
    if (data.empty() || data.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return std::nullopt;
    }
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                               static_cast<qsizetype>(data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (halfSize) {
        const QSize size = reader.size();
        reader.setScaledSize(size / 2);
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        return std::nullopt;
    }
    return image;
}

/// Whether the image is a large photo worth reading at half size first.
bool isLargePhoto(std::span<const std::uint8_t> data) {
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                               static_cast<qsizetype>(data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    return size.isValid() && qint64(size.width()) * size.height() > halfSizeAbovePixels &&
           reader.supportsOption(QImageIOHandler::ScaledSize);
}

LuminanceImage luminance(const QImage& image) {
    LuminanceImage result{image.width(), image.height(), {}};
    result.pixels.resize(static_cast<std::size_t>(result.width) *
                         static_cast<std::size_t>(result.height));
    if (!image.hasAlphaChannel()) {
        const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
        for (int y = 0; y < result.height; ++y) {
            std::copy_n(gray.constScanLine(y), result.width,
                        result.pixels.begin() + static_cast<std::ptrdiff_t>(y) * result.width);
        }
        return result;
    }
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        auto* out = result.pixels.data() + static_cast<std::ptrdiff_t>(y) * result.width;
        for (int x = 0; x < result.width; ++x) {
            const QRgb pixel = line[x];
            const int alpha = qAlpha(pixel);
            const int gray = (qRed(pixel) * 299 + qGreen(pixel) * 587 + qBlue(pixel) * 114) / 1000;
            out[x] = static_cast<std::uint8_t>((gray * alpha + 255 * (255 - alpha)) / 255);
        }
    }
    return result;
}

std::vector<std::string> read(const LuminanceImage& image, const ZXing::DecodeHints& hints) {
    const ZXing::ImageView view(image.pixels.data(), image.width, image.height,
                                ZXing::ImageFormat::Lum);
    std::vector<std::string> texts;
    for (const auto& result : ZXing::ReadBarcodes(view, hints)) {
        if (result.isValid()) {
            texts.push_back(result.text());
        }
    }
    return texts;
}

/// The texts of the codes found, or nothing when the detector failed with an error. Light
/// codes on a dark ground are read from the inverted image when the image itself gives none.
std::optional<std::vector<std::string>> detect(LuminanceImage& image,
                                               const ZXing::DecodeHints& hints) {
    try {
        auto texts = read(image, hints);
        if (texts.empty()) {
            for (auto& pixel : image.pixels) {
                pixel = static_cast<std::uint8_t>(255 - pixel);
            }
            texts = read(image, hints);
            for (auto& pixel : image.pixels) {
                pixel = static_cast<std::uint8_t>(255 - pixel);
            }
        }
        return texts;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

ZXing::DecodeHints primaryHints() {
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    return hints;
}

/// The slower, more thorough pass: the whole image at full size with a global threshold.
ZXing::DecodeHints fallbackHints() {
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    hints.setTryDownscale(false);
    hints.setBinarizer(ZXing::Binarizer::GlobalHistogram);
    return hints;
}

std::vector<std::string> distinct(std::vector<std::string> texts) {
    std::vector<std::string> result;
    for (auto& text : texts) {
        if (std::find(result.begin(), result.end(), text) == result.end()) {
            result.push_back(std::move(text));
        }
    }
    return result;
}

} // namespace

namespace QRCodeReader {

namespace {

Result<std::vector<std::string>, QRCodeError> payloadsOf(std::span<const std::uint8_t> imageData,
                                                         bool halfSize) {
    const auto image = firstImage(imageData, halfSize);
    if (!image) {
        return fail(QRCodeError::unreadableImage());
    }
    LuminanceImage pixels = luminance(*image);
    auto texts = detect(pixels, primaryHints());
    if (!texts) {
        texts = detect(pixels, fallbackHints());
    }
    if (!texts) {
        return fail(QRCodeError::detectionFailed());
    }
    return distinct(std::move(*texts));
}

} // namespace

Result<std::vector<std::string>, QRCodeError> payloads(std::span<const std::uint8_t> imageData) {
    if (imageData.size() <= static_cast<std::size_t>(std::numeric_limits<int>::max()) &&
        isLargePhoto(imageData)) {
        auto found = payloadsOf(imageData, true);
        if (found && !found->empty()) {
            return found;
        }
    }
    return payloadsOf(imageData, false);
}

} // namespace QRCodeReader
} // namespace zemlar
