// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppDoubles.hpp"
#include "PanelController.hpp"
#include "PanelTexts.hpp"
#include "PanelView.hpp"
#include "SearchPanel.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

namespace zemlar {
namespace {

using testing::account;
using testing::uuid;

struct Pick {
    UUID id;
    SubmitMode mode;
    bool operator==(const Pick&) const = default;
};

class PanelControllerTest : public ::testing::Test {
protected:
    PanelControllerTest() {
        stores.accounts->accounts = {account(1, "GitHub"), account(2, "GitLab"),
                                     account(3, "Amazon")};
        windows->front = editor;
        controller = std::make_unique<PanelController>(
            model,
            [this](const Account& picked, SubmitMode mode) {
                picks.push_back({picked.id, mode});
            },
            [this] { ++dismissals; },
            [this](const std::string& bundleID) -> std::optional<std::string> {
                askedSites.push_back(bundleID);
                return site;
            },
            windows);
    }

    void open() {
        controller->show(std::nullopt);
        waitForLoad();
    }
    void waitForLoad() {
        for (int attempt = 0; attempt < 2000 && model->loading; ++attempt) {
            QTest::qWait(5);
        }
    }
    bool press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        return controller->handleKey(&event);
    }
    QLineEdit* field() const { return controller->window()->findChild<QLineEdit*>(); }

    testing::Stores stores;
    Date now{1'700'000'010};
    PanelModel* model = new PanelModel(stores.environment(), [this] { return now; });
    std::shared_ptr<testing::QuietWindowSystem> windows =
        std::make_shared<testing::QuietWindowSystem>();
    FrontApp editor{.window = 77, .pid = 1000, .wmClass = "Gedit"};
    std::optional<std::string> site;
    std::vector<std::string> askedSites;
    std::vector<Pick> picks;
    int dismissals = 0;
    std::unique_ptr<PanelController> controller;
};

TEST_F(PanelControllerTest, ReturnPicksTheSelectionWithCommandBeforeShift) {
    open();
    ASSERT_EQ(model->selectedID, uuid(3));
    EXPECT_TRUE(press(Qt::Key_Return));
    EXPECT_TRUE(press(Qt::Key_Return, Qt::ShiftModifier));
    EXPECT_TRUE(press(Qt::Key_Return, Qt::ControlModifier));
    EXPECT_TRUE(press(Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_TRUE(press(Qt::Key_Enter, Qt::KeypadModifier));
    EXPECT_TRUE(press(Qt::Key_Enter, Qt::KeypadModifier | Qt::ShiftModifier));
    EXPECT_EQ(picks, (std::vector<Pick>{{uuid(3), SubmitMode::type},
                                        {uuid(3), SubmitMode::typeAndSubmit},
                                        {uuid(3), SubmitMode::copy},
                                        {uuid(3), SubmitMode::copy},
                                        {uuid(3), SubmitMode::type},
                                        {uuid(3), SubmitMode::typeAndSubmit}}));
    EXPECT_TRUE(controller->isVisible()); // the shell closes the panel, not the pick

    model->setQuery("zzzz"); // without a selection Return is consumed and picks nothing
    EXPECT_TRUE(press(Qt::Key_Return));
    EXPECT_EQ(picks.size(), 6u);
}

TEST_F(PanelControllerTest, ArrowsMoveTheSelectionAndTypedKeysGoThroughTheFieldIntoTheQuery) {
    open();
    EXPECT_TRUE(press(Qt::Key_Down));
    EXPECT_EQ(model->selectedID, uuid(1));
    EXPECT_TRUE(press(Qt::Key_Up));
    EXPECT_EQ(model->selectedID, uuid(3));
    EXPECT_FALSE(press(Qt::Key_G));
    EXPECT_FALSE(press(Qt::Key_Backspace));
    EXPECT_FALSE(press(Qt::Key_Left));

    ASSERT_NE(field(), nullptr);
    QTest::keyClicks(field(), "gitl");
    EXPECT_EQ(model->query, "gitl");
    EXPECT_EQ(model->selectedID, uuid(2));
    QTest::keyClick(field(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(picks, (std::vector<Pick>{{uuid(2), SubmitMode::typeAndSubmit}}));
    EXPECT_EQ(field()->text(), "gitl"); // Return never reached the field
}

TEST_F(PanelControllerTest, WhileWaitingEveryKeyIsConsumedAndOnlyEscapeActs) {
    open();
    model->setWaitingUntil(Date(1'700'000'012));
    QTest::keyClicks(field(), "git");
    EXPECT_EQ(field()->text(), "");
    EXPECT_EQ(model->query, "");
    EXPECT_TRUE(press(Qt::Key_Return));
    EXPECT_TRUE(press(Qt::Key_Down));
    EXPECT_EQ(model->selectedID, uuid(3));
    controller->submit(model->accounts[0], SubmitMode::type); // a click while waiting
    EXPECT_TRUE(picks.empty());
    EXPECT_EQ(dismissals, 0);

    EXPECT_TRUE(press(Qt::Key_Escape));
    EXPECT_FALSE(controller->isVisible());
    EXPECT_EQ(dismissals, 1);
    EXPECT_FALSE(model->waitingUntil);
}

TEST_F(PanelControllerTest, EscapeHidesDismissesAndReturnsToThePreviousApplication) {
    open();
    EXPECT_EQ(controller->previousApp, editor);
    model->setQuery("git");
    EXPECT_TRUE(press(Qt::Key_Escape));
    EXPECT_FALSE(controller->isVisible());
    EXPECT_EQ(dismissals, 1);
    EXPECT_EQ(windows->activated.back(), editor);
    EXPECT_FALSE(controller->previousApp);
    EXPECT_TRUE(model->secrets.empty());
    EXPECT_EQ(model->query, "");
    EXPECT_TRUE(press(Qt::Key_Escape)); // closed: consumed, nothing more happens
    EXPECT_EQ(dismissals, 1);
}

TEST_F(PanelControllerTest, ToggleAndLosingTheKeyboardDismissOnceButHidingAloneDoesNot) {
    controller->toggle();
    EXPECT_TRUE(controller->isVisible());
    waitForLoad();
    controller->toggle();
    EXPECT_FALSE(controller->isVisible());
    EXPECT_EQ(dismissals, 1);

    open();
    controller->windowDidResignKey();
    EXPECT_FALSE(controller->isVisible());
    controller->windowDidResignKey(); // already closed
    EXPECT_EQ(dismissals, 2);

    open();
    windows->active = false; // focus only goes back when this application was active
    windows->activated.clear();
    controller->hide();
    EXPECT_EQ(std::ranges::count(windows->activated, editor), 0);
    EXPECT_EQ(dismissals, 2);

    windows->active = true; // this application itself is never reactivated
    windows->front = FrontApp{.window = 5, .pid = windows->ownPid, .wmClass = "Zemlar"};
    open();
    const auto before = windows->activated.size();
    controller->hide();
    EXPECT_EQ(windows->activated.size(), before);
}

TEST_F(PanelControllerTest, TheGivenApplicationWinsOverTheFrontOneAndNamesTheSite) {
    site = "github.com";
    const FrontApp browser{.window = 9, .pid = 3000, .wmClass = "firefox"};
    controller->show(browser);
    waitForLoad();
    EXPECT_EQ(controller->previousApp, browser);
    EXPECT_EQ(askedSites, std::vector<std::string>{"firefox"});
    EXPECT_EQ(model->host, "github.com");
    EXPECT_EQ(model->selectedID, uuid(1));
}

TEST_F(PanelControllerTest, EveryOpeningStartsFreshAndTheViewShowsTheRightMessage) {
    open();
    auto* view = controller->window()->findChild<PanelView*>();
    ASSERT_NE(view, nullptr);
    model->setQuery("nothing like it");
    EXPECT_EQ(view->messageLabel()->text(), "Nothing found");
    controller->hide();
    open();
    EXPECT_EQ(model->query, "");
    EXPECT_EQ(view->searchField()->text(), "");
    EXPECT_TRUE(view->messageLabel()->isHidden());
    EXPECT_EQ(model->selectedID, uuid(3));
    EXPECT_TRUE(view->hostLabel()->isHidden()); // no site, no globe
}

TEST(PanelPlacement, CentredWithTheTopAFifthDown) {
    EXPECT_EQ(PanelController::origin(QSize(560, 360), QRect(0, 0, 1280, 800)), QPoint(360, 160));
    EXPECT_EQ(PanelController::origin(QSize(560, 360), QRect(1920, 30, 1920, 1050)),
              QPoint(1920 + 680, 30 + 210));
}

} // namespace
} // namespace zemlar
