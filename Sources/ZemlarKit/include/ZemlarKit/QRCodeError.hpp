// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace zemlar {

/// Why no QR payloads could be read from image data.
class QRCodeError {
public:
    enum class Kind { unreadableImage, detectionFailed };

    /// The data is not an image the decoder reads, or holds no first image.
    static QRCodeError unreadableImage() { return QRCodeError(Kind::unreadableImage); }
    /// Both detectors failed with an error.
    static QRCodeError detectionFailed() { return QRCodeError(Kind::detectionFailed); }

    Kind kind() const { return kind_; }
    std::string describe() const;

    bool operator==(const QRCodeError&) const = default;

private:
    explicit QRCodeError(Kind kind) : kind_(kind) {}

    Kind kind_;
};

} // namespace zemlar
