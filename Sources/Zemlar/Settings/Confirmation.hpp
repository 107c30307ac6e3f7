// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QMessageBox;
class QPushButton;
class QWidget;

namespace zemlar {

/// A question put to the user before a step that cannot be undone or shows a secret.
struct Confirmation {
    QString title;
    QString message;
    /// The button that goes ahead; the other one is "Cancel".
    QString confirmButton;
    bool destructive = false;

    /// Answers a confirmation: true to go ahead. Views keep one so that tests can answer.
    using Asker = std::function<bool(const Confirmation&)>;

    /// Asks with a modal message box over the parent.
    static bool ask(QWidget* parent, const Confirmation& confirmation);
    /// Puts the question and its two buttons in the box, the title as plain text (it quotes
    /// an account's title); the button that goes ahead.
    static QPushButton* fill(QMessageBox& box, const Confirmation& confirmation);
};

} // namespace zemlar
