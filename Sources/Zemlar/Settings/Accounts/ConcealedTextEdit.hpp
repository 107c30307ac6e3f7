// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>

namespace zemlar {

/// A plain-text editor for secrets such as recovery codes. A copy carries the password-manager
/// hint, so clipboard managers leave it out of their history; a selection never stays in the
/// X primary selection, which any client can read without the user pasting.
class ConcealedTextEdit final : public QPlainTextEdit {
public:
    explicit ConcealedTextEdit(QWidget* parent = nullptr);

protected:
    QMimeData* createMimeDataFromSelection() const override;
};

} // namespace zemlar
