// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageTesting.hpp"
#include "StoreDoubles.hpp"

#include <OTPCore/ImportParser.hpp>
#include <ZemlarKit/QRCodeReader.hpp>
#include <ZemlarKit/QRImage.hpp>
#include <gtest/gtest.h>

namespace zemlar::testing {
namespace {

using Payloads = std::vector<std::string>;

Bytes singleCode() {
    auto bytes = readFile(fixture("qr-single.png"));
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(Bytes{});
}

QImage singleImage() {
    return imageOf(singleCode());
}

TEST(QRCodeReader, readsEveryImageFormatAndPhotoLikeVariants) {
    const QImage image = singleImage();
    const QSize size = image.size();
    struct Variant {
        const char* name;
        Bytes data;
    };
    QImage inverted = image.convertToFormat(QImage::Format_RGB32);
    inverted.invertPixels();
    const Variant variants[] = {
        {"enlarged",
         encoded(image.scaled(size * 3, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), "PNG")},
        {"reduced",
         encoded(image.scaled(size * 0.7, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), "PNG")},
        {"turned 17 degrees", encoded(rotated(image, 17), "PNG")},
        {"upside down", encoded(rotated(image, 180), "PNG")},
        {"strong JPEG", encoded(rotated(image, 5), "JPEG", 30)},
        {"inverted", encoded(inverted, "PNG")},
    };
    for (const char* format : {"PNG", "JPEG", "TIFF", "BMP", "WEBP"}) {
        SCOPED_TRACE(format);
        EXPECT_EQ(QRCodeReader::payloads(encoded(image, format)), Payloads{singleLink});
    }
    for (const auto& variant : variants) {
        SCOPED_TRACE(variant.name);
        EXPECT_EQ(QRCodeReader::payloads(variant.data), Payloads{singleLink});
    }
}

TEST(QRCodeReader, findsASmallCodeInALargePhoto) {
    // Large photos are read at half size first; a code too small for that is still found.
    QImage photo(3400, 2200, QImage::Format_RGB32);
    photo.fill(QColor(120, 130, 110));
    QPainter painter(&photo);
    painter.fillRect(200, 200, 900, 700, QColor(60, 50, 40));
    const QImage code = singleImage(); // 6 pixels per module
    painter.drawImage(2500, 1500,
                      code.scaled(code.size() / 2, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    painter.end();
    EXPECT_EQ(QRCodeReader::payloads(encoded(photo, "PNG")), Payloads{singleLink});
    EXPECT_EQ(QRCodeReader::payloads(encoded(photo, "JPEG", 95)), Payloads{singleLink});
}

TEST(QRCodeReader, givesEveryDistinctCodeOnce) {
    const auto other = readFile(fixture("qr-other.png"));
    ASSERT_TRUE(other);
    const auto two =
        QRCodeReader::payloads(encoded(sideBySide(singleImage(), imageOf(*other)), "PNG"));
    ASSERT_TRUE(two);
    EXPECT_EQ(two->size(), 2U);
    EXPECT_NE(std::find(two->begin(), two->end(), singleLink), two->end());
    EXPECT_NE(std::find(two->begin(), two->end(), otherLink), two->end());

    const auto twice =
        QRCodeReader::payloads(encoded(sideBySide(singleImage(), singleImage()), "PNG"));
    EXPECT_EQ(twice, Payloads{singleLink});
}

TEST(QRCodeReader, anImageWithoutCodesGivesNoPayloadsAndOtherDataIsUnreadable) {
    QImage image(320, 240, QImage::Format_RGB32);
    image.fill(QColor(200, 210, 220));
    QPainter painter(&image);
    painter.fillRect(40, 40, 80, 80, Qt::black);
    painter.end();
    EXPECT_EQ(QRCodeReader::payloads(encoded(image, "PNG")), Payloads{});
    EXPECT_EQ(QRCodeReader::payloads(encoded(image, "JPEG")), Payloads{});
    const Bytes png = singleCode();
    for (const Bytes& data : {Bytes{}, bytesOf("otpauth://"), Bytes(png.begin(), png.begin() + 40),
                              Bytes(4096, 0xFF)}) {
        EXPECT_EQ(QRCodeReader::payloads(data), fail(QRCodeError::unreadableImage()));
    }
}

struct RealImage {
    const char* path;
    const char* payloadStart;
    std::size_t entries;
};

TEST(QRCodeReader, readsTheRealExportImages) {
    if (!std::filesystem::exists(sharedTestData())) {
        GTEST_SKIP() << "no shared test data at " << sharedTestData();
    }
    const RealImage images[] = {
        {"scito-extract_otp_secrets/example_export.png", "otpauth-migration://offline?data=", 3},
        {"dim13-otpauth/example.png", "otpauth://totp/Example:alice@google.com?", 1},
        {"alesdi-qr_code_vision/otp_qr_code_with_transparency.png", "otpauth://totp/max.musterman",
         1},
        {"zhangyuan-google-authenticator-extractor/migration.jpg",
         "otpauth-migration://offline?data=CkoKI", 1},
    };
    for (const auto& image : images) {
        SCOPED_TRACE(image.path);
        const auto data = readFile(sharedTestData() / image.path);
        ASSERT_TRUE(data);
        const auto payloads = QRCodeReader::payloads(*data);
        ASSERT_TRUE(payloads);
        ASSERT_EQ(payloads->size(), 1U);
        EXPECT_TRUE(payloads->front().starts_with(image.payloadStart)) << payloads->front();
        const auto batch = ImportParser::parse(payloads->front());
        EXPECT_GE(batch.entries.size(), image.entries);
    }
    const auto notOTP =
        readFile(sharedTestData() / "scito-extract_otp_secrets/qr_but_without_otp.png");
    EXPECT_EQ(QRCodeReader::payloads(*notOTP), Payloads{"NOT A otpauth-migration:// URL"});
    const auto masquerade =
        readFile(sharedTestData() / "scito-extract_otp_secrets/text_masquerading_as_image.jpeg");
    EXPECT_EQ(QRCodeReader::payloads(*masquerade), fail(QRCodeError::unreadableImage()));
}

// The reader and the drawing come from two independent libraries, so a round trip checks both.
TEST(QRImage, drawsACodeThatDecodesToTheExactTextAndRefusesTextTooLong) {
    const std::string texts[] = {singleLink, "x",
                                 "otpauth://totp/Café:renée?secret=JBSWY3DPEHPK3PXP"};
    for (const auto& text : texts) {
        SCOPED_TRACE(text);
        const auto png = QRImage::png(text);
        ASSERT_TRUE(png);
        EXPECT_EQ(QRCodeReader::payloads(*png), Payloads{text});
    }
    EXPECT_EQ(QRImage::png(std::string(5000, 'a')), std::nullopt);
}

TEST(QRImage, usesTenPixelsPerModuleWithAQuietZone) {
    // A 21-module code (version 1) with four modules of margin on every side.
    const QImage image = imageOf(QRImage::png("HELLO").value());
    EXPECT_EQ(image.width(), (21 + 8) * 10);
    EXPECT_EQ(image.height(), image.width());
    EXPECT_EQ(qGray(image.pixel(39, 39)), 255);
    EXPECT_EQ(qGray(image.pixel(40, 40)), 0); // the finder pattern's corner
    EXPECT_EQ(qGray(image.pixel(49, 49)), 0);
}

} // namespace
} // namespace zemlar::testing
