// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageTesting.hpp"
#include "StoreDoubles.hpp"

#include <ZemlarKit/QRCodeReader.hpp>
#include <ZemlarKit/QRImage.hpp>
#include <gtest/gtest.h>

namespace zemlar::testing {
namespace {

using Payloads = std::vector<std::string>;

QImage singleImage() {
    return imageOf(readFile(fixture("qr-single.png")).value_or(Bytes{}));
}

TEST(QRCodeReader, readsEveryImageFormatAndPhotoLikeVariants) {
    const QImage image = singleImage();
    QImage inverted = image.convertToFormat(QImage::Format_RGB32);
    inverted.invertPixels();
    const std::pair<const char*, Bytes> variants[] = {
        {"reduced",
         encoded(image.scaled(image.size() * 0.7, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                 "PNG")},
        {"turned 17 degrees", encoded(rotated(image, 17), "PNG")},
        {"strong JPEG", encoded(rotated(image, 5), "JPEG", 30)},
        {"inverted", encoded(inverted, "PNG")},
        {"TIFF", encoded(image, "TIFF")},
        {"WEBP", encoded(image, "WEBP")},
    };
    for (const auto& [name, data] : variants) {
        EXPECT_EQ(QRCodeReader::payloads(data), Payloads{singleLink}) << name;
    }
}

TEST(QRCodeReader, findsASmallCodeInALargePhoto) {
    // Large photos are read at half size first; a code too small for that is still found.
    QImage photo(3400, 2200, QImage::Format_RGB32);
    photo.fill(QColor(120, 130, 110));
    QPainter painter(&photo);
    const QImage code = singleImage(); // 6 pixels per module
    painter.drawImage(2500, 1500,
                      code.scaled(code.size() / 2, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    painter.end();
    for (const char* format : {"PNG", "JPEG"}) { // JPEG is read scaled, PNG cannot be
        EXPECT_EQ(QRCodeReader::payloads(encoded(photo, format, 95)), Payloads{singleLink});
    }
}

TEST(QRCodeReader, givesEveryDistinctCodeOnceAndNothingForAnImageWithout) {
    const auto two = QRCodeReader::payloads(encoded(
        sideBySide(singleImage(), imageOf(readFile(fixture("qr-other.png")).value())), "PNG"));
    ASSERT_TRUE(two);
    EXPECT_TRUE(*two == (Payloads{singleLink, otherLink}) ||
                *two == (Payloads{otherLink, singleLink}));
    EXPECT_EQ(QRCodeReader::payloads(encoded(sideBySide(singleImage(), singleImage()), "PNG")),
              Payloads{singleLink});

    QImage blank(320, 240, QImage::Format_RGB32);
    blank.fill(QColor(200, 210, 220));
    EXPECT_EQ(QRCodeReader::payloads(encoded(blank, "PNG")), Payloads{});
    const Bytes png = encoded(singleImage(), "PNG");
    for (const Bytes& data : {Bytes{}, bytesOf("otpauth://"), Bytes(png.begin(), png.begin() + 40),
                              Bytes(4096, 0xFF)}) {
        EXPECT_EQ(QRCodeReader::payloads(data), fail(QRCodeError::unreadableImage()));
    }
}

// A code drawn on a transparent background, and a text file named as an image.
TEST(QRCodeReader, readsTheRealExportImages) {
    if (!std::filesystem::exists(sharedTestData())) {
        GTEST_SKIP() << "no shared test data at " << sharedTestData();
    }
    const auto transparent = QRCodeReader::payloads(*readFile(
        sharedTestData() / "alesdi-qr_code_vision" / "otp_qr_code_with_transparency.png"));
    ASSERT_TRUE(transparent);
    ASSERT_EQ(transparent->size(), 1U);
    EXPECT_TRUE(transparent->front().starts_with("otpauth://totp/max.musterman"));
    EXPECT_EQ(QRCodeReader::payloads(*readFile(sharedTestData() / "scito-extract_otp_secrets" /
                                               "text_masquerading_as_image.jpeg")),
              fail(QRCodeError::unreadableImage()));
}

// The reader and the drawing come from two independent libraries, so a round trip checks both.
TEST(QRImage, drawsACodeThatDecodesToTheExactTextAndRefusesTextTooLong) {
    for (const std::string& text :
         {std::string("x"), std::string("otpauth://totp/Café:renée?secret=JBSWY3DPEHPK3PXP")}) {
        EXPECT_EQ(QRCodeReader::payloads(QRImage::png(text).value()), Payloads{text});
    }
    EXPECT_EQ(QRImage::png(std::string(5000, 'a')), std::nullopt);
    // A 21-module code (version 1), ten pixels a module, with four modules of margin.
    const QImage image = imageOf(QRImage::png("HELLO").value());
    EXPECT_EQ(image.size(), QSize((21 + 8) * 10, (21 + 8) * 10));
    EXPECT_EQ(qGray(image.pixel(39, 39)), 255);
    EXPECT_EQ(qGray(image.pixel(49, 49)), 0); // inside the finder pattern's corner
}

} // namespace
} // namespace zemlar::testing
