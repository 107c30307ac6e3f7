// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QDialog;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QWidget;

/// The text styles and the page frame every screen and sheet shares.
namespace zemlar::ScreenStyle {

/// A label that shows its text literally. Titles and names come from links, QR codes and
/// backup files: read as rich text they could draw fake controls or make Qt load local files
/// (<img src="/dev/zero">). Every label below is one of these.
QLabel* label(const QString& text = {}, QWidget* parent = nullptr);
/// A bold, slightly larger title.
QLabel* headline(const QString& text, QWidget* parent = nullptr);
/// A wrapped note in a smaller font and the secondary colour.
QLabel* caption(const QString& text, QWidget* parent = nullptr);
/// A wrapped text in the secondary colour at the normal size.
QLabel* secondary(const QString& text, QWidget* parent = nullptr);
/// Gives a label the smaller font and the secondary colour.
void makeSecondary(QLabel* label);
/// Cancel and Save buttons for a sheet: Cancel rejects it, Save (the default button, named
/// "save") is returned for the sheet to connect and enable.
QDialogButtonBox* cancelAndSave(QDialog* sheet, QPushButton*& save);
/// Makes `content` the scrolling, frameless page that fills `screen`.
void fillWithScrolling(QWidget* screen, QWidget* content);

} // namespace zemlar::ScreenStyle
