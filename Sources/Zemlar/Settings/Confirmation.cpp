// SPDX-License-Identifier: GPL-3.0-or-later
#include "Confirmation.hpp"

#include <QMessageBox>
#include <QPushButton>
#include <ZemlarScreens/Texts.hpp>

namespace zemlar {

bool Confirmation::ask(QWidget* parent, const Confirmation& confirmation) {
    QMessageBox box(parent);
    const QPushButton* go = fill(box, confirmation);
    box.exec();
    return box.clickedButton() == go;
}

QPushButton* Confirmation::fill(QMessageBox& box, const Confirmation& confirmation) {
    box.setTextFormat(Qt::PlainText);
    box.setIcon(confirmation.destructive ? QMessageBox::Warning : QMessageBox::Question);
    box.setWindowTitle(confirmation.title);
    box.setText(confirmation.title);
    box.setInformativeText(confirmation.message);
    auto* go = box.addButton(confirmation.confirmButton, confirmation.destructive
                                                             ? QMessageBox::DestructiveRole
                                                             : QMessageBox::AcceptRole);
    auto* cancel =
        box.addButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Cancel")), QMessageBox::RejectRole);
    box.setDefaultButton(confirmation.destructive ? cancel : go);
    box.setEscapeButton(cancel);
    return go;
}

} // namespace zemlar
