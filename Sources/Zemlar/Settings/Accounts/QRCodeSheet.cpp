// SPDX-License-Identifier: GPL-3.0-or-later
#include "QRCodeSheet.hpp"

#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <ZemlarScreens/ScreenStyle.hpp>
#include <ZemlarScreens/Texts.hpp>

namespace zemlar {
namespace {

constexpr int imageSide = 240;
constexpr int imageMargin = 12;

} // namespace

QRCodeSheet::QRCodeSheet(const ShownQRCode& code, QWidget* parent)
    : QDialog(parent), code_(code), image_(ScreenStyle::label({}, this)) {
    const QString title = QString::fromStdString(code.title);
    setWindowTitle(title);
    setModal(true);
    setFixedWidth(340);

    QImage decoded;
    decoded.loadFromData(code.png.data(), static_cast<int>(code.png.size()), "PNG");
    // Nearest-neighbour scaling keeps every module's edges sharp.
    image_->setPixmap(QPixmap::fromImage(
        decoded.scaled(imageSide, imageSide, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    image_->setObjectName(QStringLiteral("qrImage"));
    image_->setFixedSize(imageSide + 2 * imageMargin, imageSide + 2 * imageMargin);
    image_->setAlignment(Qt::AlignCenter);
    image_->setAutoFillBackground(true);
    QPalette white = image_->palette();
    white.setColor(QPalette::Window, Qt::white);
    image_->setPalette(white);

    auto* buttons = new QDialogButtonBox(this);
    auto* done = buttons->addButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Done")),
                                    QDialogButtonBox::AcceptRole);
    done->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);
    layout->addWidget(ScreenStyle::headline(title, this));
    layout->addWidget(image_, 0, Qt::AlignHCenter);
    layout->addWidget(ScreenStyle::caption(
        Texts::text(QT_TRANSLATE_NOOP("Zemlar",
                                      "Scan it with another authenticator app. Anyone who sees "
                                      "this code can generate codes for this account.")),
        this));
    layout->addWidget(buttons);
}

} // namespace zemlar
