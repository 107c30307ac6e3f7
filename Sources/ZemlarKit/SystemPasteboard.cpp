// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/SystemPasteboard.hpp"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace zemlar {

namespace {

/// Counts QClipboard's change signals for the clipboard (not the selection) for the whole run.
std::int64_t& clipboardChanges() {
    static std::int64_t changes = [] {
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged,
                         QGuiApplication::clipboard(), [] { ++clipboardChanges(); });
        return std::int64_t{0};
    }();
    return changes;
}

} // namespace

SystemPasteboard::SystemPasteboard() {
    clipboardChanges();
}

std::int64_t SystemPasteboard::changeCount() const {
    return clipboardChanges();
}

QMimeData* SystemPasteboard::concealedData(const QString& text) {
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(QString(passwordManagerHint), QByteArrayLiteral("secret"));
    data->setData(QStringLiteral("org.nspasteboard.ConcealedType"), QByteArray());
    data->setData(QStringLiteral("org.nspasteboard.TransientType"), QByteArray());
    return data;
}

void SystemPasteboard::writeConcealed(const std::string& string) {
    QGuiApplication::clipboard()->setMimeData(concealedData(QString::fromStdString(string)),
                                              QClipboard::Clipboard);
}

void SystemPasteboard::clear() {
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

} // namespace zemlar
