// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConcealedTextEdit.hpp"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextDocumentFragment>
#include <ZemlarKit/SystemPasteboard.hpp>

namespace zemlar {
namespace {

/// Qt offers the selected text as the primary selection from inside the text control, with no
/// way to turn that off: the hinted text is taken back as soon as it arrives there.
void dropConcealedSelection() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* selection = clipboard->mimeData(QClipboard::Selection);
    if (clipboard->ownsSelection() && selection &&
        selection->hasFormat(QString(SystemPasteboard::passwordManagerHint))) {
        clipboard->clear(QClipboard::Selection);
    }
}

} // namespace

ConcealedTextEdit::ConcealedTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
    connect(QGuiApplication::clipboard(), &QClipboard::selectionChanged, this,
            dropConcealedSelection);
}

QMimeData* ConcealedTextEdit::createMimeDataFromSelection() const {
    return SystemPasteboard::concealedData(textCursor().selection().toPlainText());
}

} // namespace zemlar
