// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QLineEdit;

/// Line edits that hold a secret: a passphrase, a password, a typed key.
namespace zemlar::SecretField {

/// The field's text, taken out of it. The field is emptied with setText({}), which, unlike
/// clear(), also drops the undo history that would keep every removed character; the text
/// returned is then its buffer's only owner, for the caller to wipe (SecretText::wipe).
QString take(QLineEdit* field);

/// Empties the field and drops its undo history.
void empty(QLineEdit* field);

} // namespace zemlar::SecretField
