// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>

class QKeyEvent;

namespace zemlar {

/// The panel's window: frameless, always on top, a tool window that does not show in the task
/// bar, with a transparent background for the rounded content. Every key press meant for one
/// of its widgets goes to `keyHandler` first; when the handler consumes it, the widget never
/// sees it.
class SearchPanel : public QWidget {
    Q_OBJECT

public:
    static constexpr int width = 560;
    static constexpr int height = 360;

    explicit SearchPanel(QWidget* parent = nullptr);
    ~SearchPanel() override;

    /// Answers whether the key press was consumed.
    std::function<bool(QKeyEvent*)> keyHandler;
    /// Called when the window loses the keyboard focus to another window while visible.
    std::function<void()> onResignKey;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
};

} // namespace zemlar
