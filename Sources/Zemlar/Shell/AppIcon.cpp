// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppIcon.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zemlar::AppIcon {
namespace {

QPixmap draw(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    QPainterPath shield;
    shield.moveTo(32, 4);
    shield.lineTo(56, 12);
    shield.cubicTo(56, 36, 48, 52, 32, 60);
    shield.cubicTo(16, 52, 8, 36, 8, 12);
    shield.closeSubpath();
    painter.fillPath(shield, QColor(0x2f, 0x6f, 0xde));

    painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(24, 18, 16, 18), 0, 180 * 16);
    painter.drawLine(QPointF(24, 27), QPointF(24, 30));
    painter.drawLine(QPointF(40, 27), QPointF(40, 30));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(20, 29, 24, 18), 3, 3);
    painter.setBrush(QColor(0x2f, 0x6f, 0xde));
    painter.drawEllipse(QPointF(32, 37), 2.5, 2.5);
    return pixmap;
}

} // namespace

QIcon make() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128}) {
        icon.addPixmap(draw(size));
    }
    return icon;
}

} // namespace zemlar::AppIcon
