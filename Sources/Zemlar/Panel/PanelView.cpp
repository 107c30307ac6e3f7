// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelView.hpp"

#include "PanelTexts.hpp"
#include "SearchPanel.hpp"

#include <OTPCore/AccountGrouping.hpp>
#include <OTPCore/CodeFormat.hpp>
#include <OTPCore/TOTP.hpp>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWindow>
#include <ZemlarScreens/ScreenStyle.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <functional>

namespace zemlar {
namespace {

constexpr int cornerRadius = 14;

QLabel* secondaryLabel(QWidget* parent) {
    auto* label = ScreenStyle::label({}, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    label->setPalette(palette);
    return label;
}

/// A small symbol drawn in the secondary colour: emoji glyphs are missing from many desktop
/// fonts and would show as empty boxes.
QLabel* drawnSymbol(QWidget* parent, int side, qreal penWidth,
                    const std::function<void(QPainter&)>& draw) {
    auto* label = ScreenStyle::label({}, parent);
    const qreal ratio = label->devicePixelRatioF();
    QPixmap pixmap(QSize(side, side) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(label->palette().color(QPalette::PlaceholderText), penWidth, Qt::SolidLine,
                        Qt::RoundCap));
    draw(painter);
    painter.end();
    label->setPixmap(pixmap);
    return label;
}

QLabel* magnifyingGlass(QWidget* parent) {
    return drawnSymbol(parent, 20, 2.0, [](QPainter& painter) {
        painter.drawEllipse(QRectF(3, 3, 10.5, 10.5));
        painter.drawLine(QPointF(12, 12), QPointF(17, 17));
    });
}

/// The globe before the site's name.
QLabel* globe(QWidget* parent) {
    return drawnSymbol(parent, 14, 1.1, [](QPainter& painter) {
        painter.drawEllipse(QRectF(1.5, 1.5, 11, 11));
        painter.drawEllipse(QRectF(4.5, 1.5, 5, 11));
        painter.drawLine(QPointF(1.5, 7), QPointF(12.5, 7));
    });
}

/// The soft shadow around the card, in steps that add up towards its edge.
void drawShadow(QPainter& painter, const QRectF& card) {
    painter.setPen(Qt::NoPen);
    for (int step = PanelView::shadowMargin; step > 0; --step) {
        QPainterPath ring;
        const QRectF around = card.adjusted(-step, -step + 2, step, step + 2);
        ring.addRoundedRect(around, cornerRadius + step, cornerRadius + step);
        painter.fillPath(ring, QColor(0, 0, 0, 6));
    }
}

} // namespace

PanelView::PanelView(PanelModel* model, QWidget* parent)
    : QWidget(parent), model_(model), field_(new QLineEdit(this)),
      message_(ScreenStyle::label({}, this)), scroll_(new QScrollArea(this)),
      list_(new ResultList(model, scroll_)), footer_(secondaryLabel(this)), globe_(globe(this)),
      host_(secondaryLabel(this)), timer_(new QTimer(this)) {
    setFixedSize(SearchPanel::width, SearchPanel::height);
    setAttribute(Qt::WA_TranslucentBackground);

    auto* glass = magnifyingGlass(this);
    field_->setPlaceholderText(Texts::text("Search accounts"));
    field_->setFrame(false);
    QFont fieldFont = field_->font();
    fieldFont.setPointSizeF(fieldFont.pointSizeF() * 1.4);
    field_->setFont(fieldFont);
    field_->setAttribute(Qt::WA_MacShowFocusRect, false);
    field_->setStyleSheet(QStringLiteral("background: transparent;"));
    connect(field_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_->setQuery(text.toStdString()); });

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(glass);
    searchRow->addWidget(field_, 1);

    message_->setAlignment(Qt::AlignCenter);
    scroll_->setWidget(list_);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setStyleSheet(QStringLiteral("background: transparent;"));
    list_->onPick = [this](const Account& account) {
        if (onPick) {
            onPick(account);
        }
    };

    auto* footerRow = new QHBoxLayout;
    footerRow->addWidget(footer_, 1);
    footerRow->addWidget(globe_);
    footerRow->addWidget(host_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(message_, 1);
    layout->addWidget(scroll_, 1);
    layout->addLayout(footerRow);

    setTranslucent(true);
    connect(model_, &PanelModel::changed, this, &PanelView::modelChanged);
    connect(timer_, &QTimer::timeout, this, &PanelView::refresh);
    timer_->start(1000);
    modelChanged();
}

void PanelView::modelChanged() {
    if (model_->openCount != seenOpenCount_) {
        seenOpenCount_ = model_->openCount;
        field_->setFocus();
    }
    if (field_->text().toStdString() != model_->query) {
        field_->setText(QString::fromStdString(model_->query));
    }
    timer_->setInterval(model_->waitingUntil ? 500 : 1000);
    refresh();
    if (const auto row = list_->selectedRow()) {
        scroll_->ensureVisible(0, *row * ResultList::rowHeight + ResultList::rowHeight / 2, 0,
                               ResultList::rowHeight / 2 + 2);
    }
}

void PanelView::refresh() {
    const auto message = PanelTexts::message(*model_);
    message_->setVisible(message.has_value());
    message_->setText(message.value_or(QString()));
    scroll_->setVisible(!message.has_value());
    list_->updateGeometry();
    list_->adjustSize();
    list_->update();
    footer_->setText(PanelTexts::footer(*model_, model_->now()));
    const bool showsSite = model_->host.has_value() && !model_->waitingUntil;
    globe_->setVisible(showsSite);
    host_->setVisible(showsSite);
    host_->setText(QString::fromStdString(model_->host.value_or("")));
}

void PanelView::setTranslucent(bool translucent) {
    translucent_ = translucent;
    const int margin = translucent ? shadowMargin : 0;
    layout()->setContentsMargins(16 + margin, 12 + margin, 16 + margin, 10 + margin);
    update();
}

void PanelView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && window()->windowHandle()) {
        window()->windowHandle()->startSystemMove();
        return;
    }
    QWidget::mousePressEvent(event);
}

void PanelView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor background = palette().color(QPalette::Window);
    const QPen border(palette().color(QPalette::Mid), 1);
    if (!translucent_) {
        // Nothing blends the window with what is below: every pixel is painted, or shows black.
        painter.fillRect(rect(), background);
        painter.setPen(border);
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
        return;
    }
    const QRectF card =
        QRectF(rect()).adjusted(shadowMargin, shadowMargin, -shadowMargin, -shadowMargin);
    drawShadow(painter, card);
    background.setAlpha(236);
    QPainterPath path;
    path.addRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
    painter.fillPath(path, background);
    painter.setPen(border);
    painter.drawPath(path);
}

ResultList::ResultList(PanelModel* model, QWidget* parent) : QWidget(parent), model_(model) {
    setMouseTracking(true);
}

std::optional<int> ResultList::selectedRow() const {
    const auto row = model_->selectedRow();
    return row ? std::optional(static_cast<int>(*row)) : std::nullopt;
}

QSize ResultList::sizeHint() const {
    return {SearchPanel::width - 40, static_cast<int>(model_->resultCount()) * rowHeight};
}

void ResultList::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Date now = model_->now();
    const auto selected = selectedRow();
    const QColor secondary = palette().color(QPalette::PlaceholderText);
    QFont codeFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    codeFont.setPointSizeF(font().pointSizeF() * 1.6);
    QFont smallFont = font();
    smallFont.setPointSizeF(font().pointSizeF() * 0.85);

    for (std::size_t index = 0; index < model_->resultCount(); ++index) {
        const Account& account = model_->result(index);
        const int row = static_cast<int>(index);
        const QRect box(0, row * rowHeight, width(), rowHeight);
        if (selected == row) {
            QColor accent = palette().color(QPalette::Highlight);
            accent.setAlphaF(0.25f);
            painter.setPen(Qt::NoPen);
            painter.setBrush(accent);
            painter.drawRoundedRect(box.adjusted(2, 2, -2, -2), 8, 8);
        }
        const QRect text = box.adjusted(12, 6, -12, -6);

        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        QString heading = PanelTexts::title(account);
        if (account.pressesReturn) {
            heading += QStringLiteral("  ↩");
        }
        painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, heading);

        painter.setFont(smallFont);
        painter.setPen(secondary);
        QStringList lower;
        if (const auto subtitle = PanelTexts::subtitle(account)) {
            lower << *subtitle;
        }
        if (const auto group = AccountGrouping::groupName(account, model_->groups)) {
            lower << QString::fromStdString(*group);
        }
        painter.drawText(text, Qt::AlignLeft | Qt::AlignBottom,
                         lower.join(QStringLiteral("  ·  ")));

        const auto seconds = TOTP::secondsRemaining(now, account.parameters.period());
        painter.setPen(seconds <= 5 ? QColor(Qt::red) : secondary);
        painter.drawText(text, Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("%1 s").arg(seconds));

        const auto code = model_->code(account, now);
        const QRect codeBox = text.adjusted(0, 0, -44, 0);
        if (code) {
            painter.setFont(codeFont);
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(codeBox, Qt::AlignRight | Qt::AlignVCenter,
                             QString::fromStdString(CodeFormat::grouped(*code)));
        } else {
            painter.setPen(secondary);
            painter.drawText(codeBox, Qt::AlignRight | Qt::AlignVCenter, Texts::text("no secret"));
        }
    }
}

void ResultList::mousePressEvent(QMouseEvent* event) {
    const int row = event->position().toPoint().y() / rowHeight;
    if (event->button() != Qt::LeftButton || row < 0 ||
        row >= static_cast<int>(model_->resultCount())) {
        return;
    }
    const Account account = model_->result(static_cast<std::size_t>(row));
    model_->select(account.id);
    if (onPick) {
        onPick(account);
    }
}

bool ResultList::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int row = help->pos().y() / rowHeight;
        if (row >= 0 && row < static_cast<int>(model_->resultCount()) &&
            model_->result(static_cast<std::size_t>(row)).pressesReturn) {
            QToolTip::showText(help->globalPos(), Texts::text("Return is pressed after the code"),
                               this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(event);
}

} // namespace zemlar
