// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QLabel;
class QWidget;

/// The text styles the accounts screen and its sheets share.
namespace zemlar::SheetStyle {

/// A bold, slightly larger title.
QLabel* headline(const QString& text, QWidget* parent = nullptr);
/// A wrapped note in a smaller font and the secondary colour.
QLabel* caption(const QString& text, QWidget* parent = nullptr);
/// Gives a label the smaller font and the secondary colour.
void makeSecondary(QLabel* label);

} // namespace zemlar::SheetStyle
