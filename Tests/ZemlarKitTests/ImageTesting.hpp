// SPDX-License-Identifier: GPL-3.0-or-later
// Image files for the QR tests: the committed fixtures, the shared real exports, and
// photo-like variants made of them with Qt.
#pragma once

#include <OTPCore/Result.hpp>
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace zemlar::testing {

inline const std::string singleLink =
    "otpauth://totp/Example:alice@example.com?secret=JBSWY3DPEHPK3PXP&issuer=Example";
inline const std::string otherLink = "otpauth://totp/Shop:bob@example.org?secret="
                                     "KRSXG5CTMVRXEZLUKN2XAZLSKNSWG4TFOQ&issuer=Shop&digits=8";

inline std::filesystem::path fixture(const std::string& name) {
    return std::filesystem::path(ZEMLAR_KIT_FIXTURES) / name;
}

inline std::filesystem::path sharedTestData() {
    return std::filesystem::path(ZEMLAR_SHARED_TESTDATA);
}

inline std::optional<Bytes> readFile(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        return std::nullopt;
    }
    return Bytes(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

inline QImage imageOf(const Bytes& bytes) {
    return QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()),
                            static_cast<int>(bytes.size()));
}

inline Bytes encoded(const QImage& image, const char* format, int quality = -1) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return Bytes(data.begin(), data.end());
}

/// The images side by side on a white canvas with a margin, as on a screenshot.
inline QImage sideBySide(const QImage& left, const QImage& right) {
    QImage canvas(left.width() + right.width() + 120, std::max(left.height(), right.height()) + 80,
                  QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.drawImage(40, 40, left);
    painter.drawImage(80 + left.width(), 40, right);
    painter.end();
    return canvas;
}

} // namespace zemlar::testing
