// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageTesting.hpp"
#include "StoreDoubles.hpp"

#include <ZemlarKit/QRCodeReader.hpp>
#include <gtest/gtest.h>

namespace zemlar::testing {
namespace {

using Payloads = std::vector<std::string>;

QImage singleImage() {
    return imageOf(readFile(fixture("qr-single.png")).value_or(Bytes{}));
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

// A code drawn on a transparent background.
TEST(QRCodeReader, readsTheRealExportImages) {
    if (!std::filesystem::exists(sharedTestData())) {
        GTEST_SKIP() << "no shared test data at " << sharedTestData();
    }
    const auto transparent = QRCodeReader::payloads(*readFile(
        sharedTestData() / "alesdi-qr_code_vision" / "otp_qr_code_with_transparency.png"));
    ASSERT_TRUE(transparent);
    ASSERT_EQ(transparent->size(), 1U);
    EXPECT_TRUE(transparent->front().starts_with("otpauth://totp/max.musterman"));
}

} // namespace
} // namespace zemlar::testing
