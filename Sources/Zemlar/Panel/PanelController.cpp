// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelController.hpp"

#include "PanelView.hpp"
#include "SearchPanel.hpp"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <ZemlarKit/Compositing.hpp>
#include <string>
#include <unistd.h>

namespace zemlar {
namespace {

bool desktopBlendsWindows() {
    const std::string platform = QGuiApplication::platformName().toStdString();
    // Asked anew at every opening: a compositing manager may have started or stopped meanwhile.
    return Compositing::blendsWindows(platform,
                                      platform == "xcb" && Compositing::x11ManagerRunning());
}

} // namespace

PanelController::PanelController(PanelModel* model, SubmitAction onSubmit,
                                 std::function<void()> onDismiss, SiteProvider siteProvider,
                                 std::shared_ptr<WindowSystem> windowSystem, QObject* parent)
    : QObject(parent), model(model), onSubmit(std::move(onSubmit)), onDismiss(std::move(onDismiss)),
      siteProvider(std::move(siteProvider)), windowSystem_(std::move(windowSystem)) {}

PanelController::~PanelController() {
    delete panel;
}

void PanelController::createWindow() {
    if (panel) {
        return;
    }
    panel = new SearchPanel;
    panel->keyHandler = [this](QKeyEvent* event) { return handleKey(event); };
    panel->onResignKey = [this] { windowDidResignKey(); };
    view_ = new PanelView(model, panel);
    view_->onPick = [this](const Account& account) { submit(account, SubmitMode::type); };
}

bool PanelController::isVisible() const {
    return panel && panel->isVisible();
}

void PanelController::toggle() {
    if (!isVisible()) {
        show(std::nullopt);
    } else {
        dismiss();
    }
}

void PanelController::show(std::optional<FrontApp> returningTo) {
    createWindow();
    previousApp = returningTo ? returningTo : windowSystem_->frontmost();
    view_->setTranslucent(desktopBlendsWindows());
    panel->move(origin(panel->size()));
    panel->show();
    panel->raise();
    panel->activateWindow();
    windowSystem_->activate(FrontApp{.window = static_cast<std::uint64_t>(panel->winId()),
                                     .pid = static_cast<std::int64_t>(getpid()),
                                     .wmClass = {},
                                     .title = {}});
    model->open();
    // After the window has had its turn to paint: the site comes later, or never.
    QTimer::singleShot(0, this, [this, opening = model->openCount] { lookUpSite(opening); });
}

QCoro::Task<> PanelController::lookUpSite(int opening) {
    if (!model->isCurrent(opening) || !previousApp || previousApp->wmClass.empty() ||
        !siteProvider) {
        co_return;
    }
    const QPointer<PanelController> alive(this);
    auto asking = siteProvider(*previousApp);
    std::optional<std::string> host = co_await asking;
    if (alive) {
        model->setHost(opening, std::move(host));
    }
}

void PanelController::hide() {
    if (!isVisible()) {
        return;
    }
    const bool wasActive = windowSystem_->isThisApplicationActive();
    // Hiding takes the focus away from the window, which is no loss of key status.
    hiding_ = true;
    panel->hide();
    hiding_ = false;
    model->clearForClosing();
    if (wasActive && previousApp && !windowSystem_->isThisApplication(*previousApp)) {
        windowSystem_->activate(*previousApp);
    }
    previousApp.reset();
}

void PanelController::dismiss() {
    hide();
    if (onDismiss) {
        onDismiss();
    }
}

bool PanelController::handleKey(QKeyEvent* event) {
    const int key = event->key();
    if (model->waitingUntil) {
        if (key == Qt::Key_Escape && isVisible()) {
            dismiss();
        }
        return true;
    }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const auto account = model->selected()) {
            const auto modifiers = event->modifiers();
            const SubmitMode mode = modifiers.testFlag(Qt::ControlModifier) ? SubmitMode::copy
                                    : modifiers.testFlag(Qt::ShiftModifier)
                                        ? SubmitMode::typeAndSubmit
                                        : SubmitMode::type;
            submit(*account, mode);
        }
        return true;
    case Qt::Key_Escape:
        if (isVisible()) {
            dismiss();
        }
        return true;
    case Qt::Key_Down:
        model->moveSelection(1);
        return true;
    case Qt::Key_Up:
        model->moveSelection(-1);
        return true;
    default:
        return false;
    }
}

void PanelController::submit(const Account& account, SubmitMode mode) {
    if (model->waitingUntil || !onSubmit) {
        return;
    }
    onSubmit(account, mode);
}

void PanelController::windowDidResignKey() {
    if (isVisible() && !hiding_) {
        dismiss();
    }
}

QPoint PanelController::origin(QSize size) const {
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (!screen) {
        return {0, 0};
    }
    return origin(size, screen->availableGeometry());
}

QPoint PanelController::origin(QSize size, QRect visible) {
    const int x = visible.x() + (visible.width() - size.width()) / 2;
    const int y = visible.y() + static_cast<int>(0.2 * visible.height());
    return {x, y};
}

} // namespace zemlar
