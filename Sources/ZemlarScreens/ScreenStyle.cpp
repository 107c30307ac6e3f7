// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarScreens/ScreenStyle.hpp"

#include "ZemlarScreens/Texts.hpp"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace zemlar::ScreenStyle {

QLabel* label(const QString& text, QWidget* parent) {
    auto* result = new QLabel(text, parent);
    result->setTextFormat(Qt::PlainText);
    return result;
}

QLabel* headline(const QString& text, QWidget* parent) {
    auto* label = ScreenStyle::label(text, parent);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.15);
    label->setFont(font);
    return label;
}

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = ScreenStyle::label(text, parent);
    label->setWordWrap(true);
    makeSecondary(label);
    return label;
}

QLabel* secondary(const QString& text, QWidget* parent) {
    auto* label = ScreenStyle::label(text, parent);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

void makeSecondary(QLabel* label) {
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    label->setFont(font);
    label->setForegroundRole(QPalette::PlaceholderText);
}

QDialogButtonBox* cancelAndSave(QDialog* sheet, QPushButton*& save) {
    auto* buttons = new QDialogButtonBox(sheet);
    buttons->addButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Cancel")),
                       QDialogButtonBox::RejectRole);
    save = buttons->addButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Save")),
                              QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("save"));
    save->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::rejected, sheet, &QDialog::reject);
    return buttons;
}

void fillWithScrolling(QWidget* screen, QWidget* content) {
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(screen);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
}

} // namespace zemlar::ScreenStyle
