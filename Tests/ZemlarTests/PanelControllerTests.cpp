// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppDoubles.hpp"
#include "PanelController.hpp"
#include "PanelTexts.hpp"
#include "PanelView.hpp"
#include "SearchPanel.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

namespace zemlar {
namespace {

using testing::account;
using testing::uuid;

class FakeWindowSystem : public WindowSystem {
public:
    std::optional<FrontApp> frontmost() override { return front; }
    void activate(const FrontApp& app) override { activated.push_back(app); }
    bool isThisApplicationActive() override { return active; }
    bool isThisApplication(const FrontApp& app) override { return app.pid == ownPid; }

    std::optional<FrontApp> front;
    std::vector<FrontApp> activated;
    bool active = true;
    std::int64_t ownPid = 4242;
};

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
    std::vector<FrontApp> activationsOf(const FrontApp& app) const {
        std::vector<FrontApp> result;
        for (const auto& each : windows->activated) {
            if (each == app) {
                result.push_back(each);
            }
        }
        return result;
    }

    testing::Stores stores;
    Date now{1'700'000'010};
    PanelModel* model = new PanelModel(stores.environment(), [this] { return now; });
    std::shared_ptr<FakeWindowSystem> windows = std::make_shared<FakeWindowSystem>();
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
}

TEST_F(PanelControllerTest, ReturnWithoutSelectionIsConsumedAndPicksNothing) {
    open();
    model->setQuery("zzzz");
    EXPECT_TRUE(press(Qt::Key_Return));
    EXPECT_TRUE(picks.empty());
}

TEST_F(PanelControllerTest, ArrowsMoveTheSelectionAndOtherKeysReachTheField) {
    open();
    EXPECT_TRUE(press(Qt::Key_Down));
    EXPECT_EQ(model->selectedID, uuid(1));
    EXPECT_TRUE(press(Qt::Key_Up));
    EXPECT_EQ(model->selectedID, uuid(3));
    EXPECT_FALSE(press(Qt::Key_G));
    EXPECT_FALSE(press(Qt::Key_Backspace));
    EXPECT_FALSE(press(Qt::Key_Left));
}

TEST_F(PanelControllerTest, TypedLettersGoThroughTheFieldIntoTheQuery) {
    open();
    auto* field = controller->window()->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    QTest::keyClicks(field, "gitl");
    EXPECT_EQ(model->query, "gitl");
    EXPECT_EQ(model->selectedID, uuid(2));
    QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(picks, (std::vector<Pick>{{uuid(2), SubmitMode::typeAndSubmit}}));
    EXPECT_EQ(field->text(), "gitl"); // Return never reached the field
}

TEST_F(PanelControllerTest, WhileWaitingEveryKeyIsConsumedAndOnlyEscapeActs) {
    open();
    model->setWaitingUntil(Date(1'700'000'012));
    auto* field = controller->window()->findChild<QLineEdit*>();
    QTest::keyClicks(field, "git");
    EXPECT_EQ(field->text(), "");
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

TEST_F(PanelControllerTest, HideOnlyReturnsFocusWhenThisApplicationWasActive) {
    open();
    windows->active = false;
    controller->hide();
    EXPECT_TRUE(activationsOf(editor).empty());
    EXPECT_EQ(dismissals, 0); // hide alone does not dismiss
}

TEST_F(PanelControllerTest, HideNeverReactivatesThisApplicationItself) {
    windows->front = FrontApp{.window = 5, .pid = windows->ownPid, .wmClass = "Zemlar"};
    open();
    const auto before = windows->activated.size();
    controller->hide();
    EXPECT_EQ(windows->activated.size(), before);
}

TEST_F(PanelControllerTest, ToggleOpensAndClosesWithDismissal) {
    controller->toggle();
    EXPECT_TRUE(controller->isVisible());
    waitForLoad();
    controller->toggle();
    EXPECT_FALSE(controller->isVisible());
    EXPECT_EQ(dismissals, 1);
}

TEST_F(PanelControllerTest, LosingTheKeyboardClosesAndCancels) {
    open();
    controller->windowDidResignKey();
    EXPECT_FALSE(controller->isVisible());
    EXPECT_EQ(dismissals, 1);
    controller->windowDidResignKey(); // already closed
    EXPECT_EQ(dismissals, 1);
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
    EXPECT_EQ(view->hostLabel()->isHidden(), true); // no site, no globe
}

TEST(PanelPlacement, CentredWithTheTopAFifthDown) {
    EXPECT_EQ(PanelController::origin(QSize(560, 360), QRect(0, 0, 1280, 800)), QPoint(360, 160));
    EXPECT_EQ(PanelController::origin(QSize(560, 360), QRect(1920, 30, 1920, 1050)),
              QPoint(1920 + 680, 30 + 210));
}

} // namespace
} // namespace zemlar
