// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarScreens/SecretField.hpp"

#include <QLineEdit>

namespace zemlar::SecretField {

QString take(QLineEdit* field) {
    QString text = field->text();
    empty(field);
    return text;
}

void empty(QLineEdit* field) {
    field->setText({});
}

} // namespace zemlar::SecretField
