// SPDX-License-Identifier: GPL-3.0-or-later
#include "SearchPanel.hpp"

#include <QApplication>
#include <QKeyEvent>

namespace zemlar {

SearchPanel::SearchPanel(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setWindowTitle(QStringLiteral("Zemlar"));
    setFixedSize(width, height);
    qApp->installEventFilter(this);
}

SearchPanel::~SearchPanel() {
    qApp->removeEventFilter(this);
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !keyHandler) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) {
        return false;
    }
    return keyHandler(static_cast<QKeyEvent*>(event));
}

void SearchPanel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible() &&
        onResignKey) {
        onResignKey();
    }
}

} // namespace zemlar
