// SPDX-License-Identifier: GPL-3.0-or-later
// The search panel: its model over in-memory stores, its texts, and its controller's keys,
// openings and site lookups.
#include "AppDoubles.hpp"
#include "PanelController.hpp"
#include "PanelModel.hpp"
#include "PanelTexts.hpp"
#include "PanelView.hpp"
#include "SearchPanel.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QPromise>
#include <QTest>
#include <ZemlarScreens/Texts.hpp>
#include <algorithm>
#include <gtest/gtest.h>
#include <qcoro/qcorofuture.h>
#include <qcoro/qcorotask.h>

namespace zemlar {
namespace {

using testing::account;
using testing::uuid;

class PanelModelTest : public ::testing::Test {
protected:
    PanelModel makeModel() {
        return PanelModel(stores.environment(), [this] { return now; });
    }
    static void openModel(PanelModel& model, std::optional<std::string> host = std::nullopt) {
        QCoro::Task<> opening = model.open();
        model.setHost(model.openCount, std::move(host));
        QCoro::waitFor(std::move(opening));
    }
    static std::vector<UUID> ids(const PanelModel& model) {
        std::vector<UUID> result;
        for (std::size_t row = 0; row < model.resultCount(); ++row) {
            result.push_back(model.result(row).id);
        }
        return result;
    }

    testing::Stores stores;
    Date now{59};
};

TEST_F(PanelModelTest, OpeningLoadsListsAndSecretsAndSelectsTheFirstResult) {
    stores.accounts->list = {account(1, "GitHub"), account(2, "Amazon", "me", 5)};
    ASSERT_TRUE(stores.secrets->add(testing::rfcSecret(), uuid(1)));
    auto model = makeModel();
    openModel(model, "example.org");
    EXPECT_EQ(ids(model), (std::vector{uuid(2), uuid(1)})); // the used one first
    EXPECT_EQ(model.selectedID, uuid(2));
    EXPECT_EQ(stores.secrets->readAlls, 1);
    EXPECT_EQ(model.code(model.accounts[0], Date(1111111109)), "081804"); // RFC 6238, SHA-1

    openModel(model, "github.com"); // the site of the front tab ranks before frecency
    EXPECT_EQ(model.selectedID, uuid(1));
    openModel(model);
    EXPECT_EQ(model.selectedID, uuid(2));
}

TEST_F(PanelModelTest, AnUnreadableAccountListMarksTheFailureAndOtherFailuresCountAsEmpty) {
    stores.accounts->list = {account(1, "GitHub")};
    stores.accounts->failLoad = true;
    auto model = makeModel();
    openModel(model);
    EXPECT_TRUE(model.loadFailed);
    EXPECT_TRUE(model.accounts.empty());

    stores.accounts->failLoad = false;
    stores.groups->failLoad = true;
    stores.secrets->failRead = true;
    stores.groups->list = {AccountGroup{.id = uuid(9), .name = "Work"}};
    ASSERT_TRUE(stores.secrets->add(testing::rfcSecret(), uuid(1)));
    openModel(model);
    EXPECT_FALSE(model.loadFailed);
    EXPECT_EQ(model.accounts.size(), 1u);
    EXPECT_TRUE(model.groups.empty());
    EXPECT_TRUE(model.secrets.empty());
}

TEST_F(PanelModelTest, EveryQueryChangeSelectsTheBestMatch) {
    stores.accounts->list = {account(1, "GitHub"), account(2, "GitLab"), account(3, "Amazon")};
    auto model = makeModel();
    openModel(model);
    model.setQuery("git");
    EXPECT_EQ(ids(model), (std::vector{uuid(1), uuid(2)}));
    model.moveSelection(1);
    EXPECT_EQ(model.selectedID, uuid(2));
    model.setQuery("git"); // the same query keeps a moved selection
    EXPECT_EQ(model.selectedID, uuid(2));
    model.setQuery("gitl"); // the selected row stays the best match, and is selected again
    EXPECT_EQ(model.selectedID, uuid(2));
    model.setQuery("ama"); // the selected row dropped out
    EXPECT_EQ(model.selectedID, uuid(3));
    model.setQuery("nothing like it");
    EXPECT_EQ(model.resultCount(), 0u);
    EXPECT_FALSE(model.selected());
}

TEST_F(PanelModelTest, SelectionMovesWithoutWrappingAround) {
    stores.accounts->list = {account(1, "A"), account(2, "B"), account(3, "C")};
    auto model = makeModel();
    openModel(model);
    const std::pair<int, int> moves[] = {{-1, 1}, {1, 2}, {10, 3}, {-10, 1}};
    for (const auto& [by, row] : moves) {
        model.moveSelection(by);
        EXPECT_EQ(model.selectedID, uuid(row)) << by;
    }
    model.select(uuid(77)); // an unknown selection moves from the first row
    model.moveSelection(1);
    EXPECT_EQ(model.selectedID, uuid(2));
}

// The query and the wait are the controller's Escape tests'.
TEST_F(PanelModelTest, ClosingForgetsSecretsEvenLateOnesAndTheHostButKeepsTheLists) {
    stores.accounts->list = {account(1, "GitHub")};
    ASSERT_TRUE(stores.secrets->add(testing::rfcSecret(), uuid(1)));
    auto model = makeModel();
    openModel(model, "github.com");
    model.clearForClosing();
    EXPECT_TRUE(model.secrets.empty());
    EXPECT_FALSE(model.host);
    EXPECT_EQ(model.accounts.size(), 1u);

    QCoro::Task<> opening = model.open();
    model.clearForClosing(); // before the secrets arrive
    QCoro::waitFor(std::move(opening));
    EXPECT_TRUE(model.secrets.empty());
}

TEST_F(PanelModelTest, TheMessageForEmptyResultsSaysWhy) {
    auto model = makeModel();
    QCoro::waitFor(model.open());
    EXPECT_EQ(PanelTexts::message(model), "No accounts yet");

    stores.accounts->list = {account(1, "GitHub")};
    QCoro::waitFor(model.open());
    EXPECT_EQ(PanelTexts::message(model), std::nullopt);
    model.setQuery("xyz");
    EXPECT_EQ(PanelTexts::message(model), "Nothing found");

    stores.accounts->failLoad = true;
    QCoro::waitFor(model.open());
    EXPECT_EQ(PanelTexts::message(model), "Couldn't read the account list");
}

TEST(PanelTexts, TheCountdownCountsWholeSecondsUpAndNeverBelowOne) {
    for (const auto& [at, seconds] : {std::pair{11.99, 1}, {12.5, 1}, {8.5, 4}, {10.0, 2}}) {
        EXPECT_EQ(PanelTexts::secondsUntil(Date(12), Date(at)), seconds) << at;
    }
}

TEST(Texts, PlaceholdersAreFilledInOrderAndOnce) {
    EXPECT_EQ(Texts::fill("%lld of %@ (%lld)", {"3", "GitHub", "7"}), "3 of GitHub (7)");
    EXPECT_EQ(Texts::fill("%lld and %@", {"1"}), "1 and %@");
    EXPECT_EQ(Texts::fill("%ll%@%", {"x"}), "%llx%");
    EXPECT_EQ(Texts::fill("%@", {"%lld"}), "%lld"); // an argument is never filled again
}

struct Pick {
    UUID id;
    SubmitMode mode;
    bool operator==(const Pick&) const = default;
};

class PanelControllerTest : public ::testing::Test {
protected:
    PanelControllerTest() {
        stores.accounts->list = {account(1, "GitHub"), account(2, "GitLab"), account(3, "Amazon")};
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
        ASSERT_TRUE(QTest::qWaitFor([this] { return !model->loading; }, 10000));
    }
    bool press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        return controller->handleKey(&event);
    }
    QLineEdit* field() const { return controller->window()->findChild<QLineEdit*>(); }
    void waitForLookups(std::size_t count) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return askedSites.size() >= count; }, 10000));
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
        ASSERT_TRUE(QTest::qWaitFor([&] { return answeredSites >= answered; }, 10000));
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
    EXPECT_TRUE(press(Qt::Key_Enter, Qt::KeypadModifier | Qt::ShiftModifier));
    EXPECT_EQ(picks, (std::vector<Pick>{{uuid(3), SubmitMode::type},
                                        {uuid(3), SubmitMode::typeAndSubmit},
                                        {uuid(3), SubmitMode::copy},
                                        {uuid(3), SubmitMode::copy},
                                        {uuid(3), SubmitMode::typeAndSubmit}}));
    EXPECT_TRUE(controller->isVisible()); // the shell closes the panel, not the pick

    model->setQuery("zzzz"); // without a selection Return is consumed and picks nothing
    EXPECT_TRUE(press(Qt::Key_Return));
    EXPECT_EQ(picks.size(), 5u);
}

TEST_F(PanelControllerTest, ArrowsMoveTheSelectionAndTypedKeysGoThroughTheFieldIntoTheQuery) {
    open();
    EXPECT_TRUE(press(Qt::Key_Down));
    EXPECT_EQ(model->selectedID, uuid(1));
    EXPECT_TRUE(press(Qt::Key_Up));
    EXPECT_EQ(model->selectedID, uuid(3));
    EXPECT_FALSE(press(Qt::Key_Left)); // the field's own

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
    model->setQuery("nothing like it");
    EXPECT_FALSE(view->messageLabel()->isHidden());
    model->setQuery("");
    press(Qt::Key_Down);
    controller->hide();
    controller->show(std::nullopt);
    press(Qt::Key_Return); // before the lists have arrived
    EXPECT_EQ(picks, (std::vector<Pick>{{uuid(3), SubmitMode::type}}));
    waitForLoad();
    EXPECT_EQ(view->searchField()->text(), "");
    EXPECT_TRUE(view->messageLabel()->isHidden());
    EXPECT_EQ(model->selectedID, uuid(3));
    EXPECT_TRUE(view->hostLabel()->isHidden()); // no site, no globe
}

} // namespace
} // namespace zemlar
