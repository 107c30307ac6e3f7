// SPDX-License-Identifier: GPL-3.0-or-later
#include "WaylandPasteboard.hpp"

#include "ZemlarKit/SystemPasteboard.hpp"

#include <QClipboard>
#include <QGuiApplication>

namespace zemlar {

WaylandPasteboard::WaylandPasteboard() : dataControl_(DataControl::connect()) {}

std::int64_t WaylandPasteboard::changeCount() const {
    // Without data control the changes of others are not seen: each of our writes counts.
    return dataControl_ ? dataControl_->changes() : writes_;
}

void WaylandPasteboard::writeConcealed(const std::string& string) {
    if (dataControl_) {
        dataControl_->expectOwnSelection(SystemPasteboard::passwordManagerHint);
    }
    ++writes_;
    QGuiApplication::clipboard()->setMimeData(
        SystemPasteboard::concealedData(QString::fromStdString(string)), QClipboard::Clipboard);
}

void WaylandPasteboard::clear() {
    if (dataControl_) {
        dataControl_->clearSelection();
    }
}

} // namespace zemlar
