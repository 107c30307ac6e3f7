// SPDX-License-Identifier: GPL-3.0-or-later
#include "SheetStyle.hpp"

#include <QLabel>

namespace zemlar::SheetStyle {

QLabel* headline(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.15);
    label->setFont(font);
    return label;
}

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    makeSecondary(label);
    return label;
}

void makeSecondary(QLabel* label) {
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    label->setFont(font);
    label->setForegroundRole(QPalette::PlaceholderText);
}

} // namespace zemlar::SheetStyle
