// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppDoubles.hpp"
#include "PanelController.hpp"
#include "PanelTexts.hpp"
#include "PanelView.hpp"
#include "SearchPanel.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QPromise>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <qcoro/qcorofuture.h>
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
            [this](const FrontApp& app) {
                askedSites.push_back(app);
                sites.push_back(std::make_unique<QPromise<std::optional<std::string>>>());
                sites.back()->start();
                return answerOf(sites.back()->future());
            },
            windows);
    }

    ~PanelControllerTest() override {
        // Every lookup ends before the fixture does: a waiting one would resume into it later.
        for (std::size_t lookup = 0; lookup < sites.size(); ++lookup) {
            if (!sites[lookup]->future().isFinished()) {
                answerSite(lookup, std::nullopt);
            }
        }
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
    void waitForLookups(std::size_t count) {
        for (int attempt = 0; attempt < 2000 && askedSites.size() < count; ++attempt) {
            QTest::qWait(5);
        }
    }
    QCoro::Task<std::optional<std::string>> answerOf(QFuture<std::optional<std::string>> site) {
        std::optional<std::string> host = co_await site;
        ++answeredSites;
        co_return host;
    }
    void answerSite(std::size_t lookup, std::optional<std::string> host) {
        sites.at(lookup)->addResult(std::move(host));
        sites.at(lookup)->finish();
        const int answered = answeredSites + 1;
        for (int attempt = 0; attempt < 2000 && answeredSites < answered; ++attempt) {
            QTest::qWait(5);
        }
    }

    testing::Stores stores;
    Date now{1'700'000'010};
    PanelModel* model = new PanelModel(stores.environment(), [this] { return now; });
    std::shared_ptr<testing::QuietWindowSystem> windows =
        std::make_shared<testing::QuietWindowSystem>();
    FrontApp editor{.window = 77, .pid = 1000, .wmClass = "Gedit", .title = {}};
    /// The site lookups asked for, each answered when the test says.
    std::vector<FrontApp> askedSites;
    std::vector<std::unique_ptr<QPromise<std::optional<std::string>>>> sites;
    int answeredSites = 0;
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
    windows->front =
        FrontApp{.window = 5, .pid = windows->ownPid, .wmClass = "Zemlar", .title = {}};
    open();
    const auto before = windows->activated.size();
    controller->hide();
    EXPECT_EQ(windows->activated.size(), before);
}

TEST_F(PanelControllerTest, ThePanelIsUpBeforeTheSiteAndALateSiteCountsOnlyForItsOpening) {
    const FrontApp browser{.window = 9, .pid = 3000, .wmClass = "firefox", .title = {}};
    controller->show(browser); // the given application wins over the front one
    EXPECT_TRUE(controller->isVisible());
    waitForLookups(1);
    waitForLoad();
    EXPECT_EQ(controller->previousApp, browser);
    EXPECT_EQ(model->selectedID, uuid(3));

    controller->hide();
    controller->show(browser);
    waitForLookups(2);
    waitForLoad();
    ASSERT_EQ(askedSites, (std::vector<FrontApp>{browser, browser}));
    answerSite(1, "gitlab.com");
    EXPECT_EQ(model->host, "gitlab.com");
    EXPECT_EQ(model->selectedID, uuid(2));
    answerSite(0, "github.com"); // the first opening's answer, too late
    EXPECT_EQ(model->host, "gitlab.com");
    EXPECT_EQ(model->selectedID, uuid(2));
}

TEST_F(PanelControllerTest, EveryOpeningStartsFreshAndTheViewShowsTheRightMessage) {
    open();
    auto* view = controller->window()->findChild<PanelView*>();
    ASSERT_NE(view, nullptr);
    model->setQuery("nothing like it");
    EXPECT_EQ(view->messageLabel()->text(), "Nothing found");
    model->setQuery("");
    press(Qt::Key_Down);
    controller->hide();
    controller->show(std::nullopt);
    press(Qt::Key_Return); // before the lists have arrived
    EXPECT_EQ(picks, (std::vector<Pick>{{uuid(3), SubmitMode::type}}));
    waitForLoad();
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
