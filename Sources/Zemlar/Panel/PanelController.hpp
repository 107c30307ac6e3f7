// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PanelModel.hpp"
#include "SubmitMode.hpp"
#include "WindowSystem.hpp"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>
#include <string>

class QKeyEvent;

namespace zemlar {

class PanelView;
class SearchPanel;

/// Owns the panel window: remembers the application that was in front, asks for the browser's
/// site once the window is up, routes the keys, shows and hides. Main thread only.
class PanelController : public QObject {
    Q_OBJECT

public:
    using SubmitAction = std::function<void(const Account&, SubmitMode)>;
    /// Finds the site of the browser tab in front of `app` without holding up the main thread.
    using SiteProvider =
        std::function<QCoro::Task<std::optional<std::string>>(const FrontApp& app)>;

    PanelController(PanelModel* model, SubmitAction onSubmit, std::function<void()> onDismiss,
                    SiteProvider siteProvider, std::shared_ptr<WindowSystem> windowSystem,
                    QObject* parent = nullptr);
    ~PanelController() override;

    /// Opens a closed panel; closes an open one and calls onDismiss.
    void toggle();
    /// Opens the panel, remembering `app` (or the application in front now) to return to.
    void show(std::optional<FrontApp> returningTo);
    /// Closes the panel and gives the keyboard back to the remembered application.
    void hide();
    /// The panel's key handler; answers whether the key was consumed.
    bool handleKey(QKeyEvent* event);
    /// Hands a pick on to onSubmit, unless a delivery is waiting.
    void submit(const Account& account, SubmitMode mode);
    /// The window lost the keyboard focus to another window.
    void windowDidResignKey();
    /// Where a panel of that size goes: on the screen under the pointer.
    QPoint origin(QSize size) const;
    /// Centred horizontally in `visible`, with its top a fifth of the visible height down.
    static QPoint origin(QSize size, QRect visible);

    bool isVisible() const;
    /// Builds the window ahead of its first showing, so the first press is as fast as later ones.
    void prepareWindow() { createWindow(); }
    /// The window, once created.
    SearchPanel* window() const { return panel; }

    PanelModel* model;
    SubmitAction onSubmit;
    std::function<void()> onDismiss;
    SiteProvider siteProvider;
    SearchPanel* panel = nullptr;
    std::optional<FrontApp> previousApp;

private:
    void createWindow();
    QCoro::Task<> lookUpSite(int opening);
    void dismiss();

    std::shared_ptr<WindowSystem> windowSystem_;
    PanelView* view_ = nullptr;
    bool hiding_ = false;
};

} // namespace zemlar
