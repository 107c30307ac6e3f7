// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ShownQRCode.hpp"

#include <QDialog>

class QLabel;

namespace zemlar {

/// Shows an account's QR code for moving it to another authenticator: the image drawn
/// pixel-exact at 240 × 240 on white, with a warning that it carries the secret.
class QRCodeSheet : public QDialog {
    Q_OBJECT

public:
    explicit QRCodeSheet(const ShownQRCode& code, QWidget* parent = nullptr);

    const ShownQRCode& code() const { return code_; }
    QLabel* image() const { return image_; }

private:
    ShownQRCode code_;
    QLabel* image_;
};

} // namespace zemlar
