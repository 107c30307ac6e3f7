// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PanelModel.hpp"

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QScrollArea;
class QTimer;

namespace zemlar {

class ResultList;

/// The panel's content: the search field, the rows or a message, and the footer, on a
/// rounded translucent card with a shadow, or on an opaque background where nothing blends
/// windows. Dragging the background moves the panel. Redrawn every second (every half second
/// while waiting).
class PanelView : public QWidget {
    Q_OBJECT

public:
    /// The room around the translucent card for its shadow.
    static constexpr int shadowMargin = 10;

    explicit PanelView(PanelModel* model, QWidget* parent = nullptr);

    /// A click on a row.
    std::function<void(const Account&)> onPick;

    QLineEdit* searchField() const { return field_; }
    QLabel* messageLabel() const { return message_; }
    QLabel* footerLabel() const { return footer_; }
    QLabel* hostLabel() const { return host_; }
    ResultList* resultList() const { return list_; }

    /// Brings every part in line with the model at this moment.
    void refresh();
    /// A rounded card with a shadow when the desktop blends windows, otherwise every pixel
    /// opaque.
    void setTranslucent(bool translucent);
    bool isTranslucent() const { return translucent_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void modelChanged();

    PanelModel* model_;
    QLineEdit* field_;
    QLabel* message_;
    QScrollArea* scroll_;
    ResultList* list_;
    QLabel* footer_;
    QLabel* globe_;
    QLabel* host_;
    QTimer* timer_;
    int seenOpenCount_ = -1;
    bool translucent_ = true;
};

/// The drawn rows of the results.
class ResultList : public QWidget {
    Q_OBJECT

public:
    static constexpr int rowHeight = 56;

    explicit ResultList(PanelModel* model, QWidget* parent = nullptr);

    std::function<void(const Account&)> onPick;
    /// The row of the selection, if it is among the results.
    std::optional<int> selectedRow() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    PanelModel* model_;
};

} // namespace zemlar
