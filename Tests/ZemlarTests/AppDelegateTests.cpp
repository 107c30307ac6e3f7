// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppDelegate.hpp"
#include "AppDoubles.hpp"
#include "SingleInstance.hpp"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace zemlar {
namespace {

using testing::account;
using testing::uuid;

class RecordingDelivery : public DeliveryMethods {
public:
    bool prepare(const Account&, SubmitMode mode) override {
        return mode == SubmitMode::copy || typingAllowed;
    }
    QCoro::Task<std::optional<DeliveryFailure>>
    run(Account picked, SubmitMode mode, CodeDeliveryFlow::Clock clock,
        std::optional<std::uint64_t> targetWindow) override {
        runs.push_back({picked.id, mode, clock(), panelVisibleAtRun(), targetWindow});
        co_return failure;
    }
    std::function<bool()> panelVisibleAtRun;
    struct Run {
        UUID id;
        SubmitMode mode;
        Date now;
        bool panelVisible;
        std::optional<std::uint64_t> targetWindow;
    };
    std::vector<Run> runs;
    bool typingAllowed = true;
    std::optional<DeliveryFailure> failure;
};

class AppDelegateTest : public ::testing::Test {
protected:
    AppDelegateTest() {
        stores.accounts->accounts = {account(1, "GitHub")};
        delivery->panelVisibleAtRun = [this] { return delegate->panel().isVisible(); };
        delegate = std::make_unique<AppDelegate>(AppDelegate::Parts{
            .environment = stores.environment(),
            .windowSystem = windows,
            .delivery = delivery,
            .clock = [this] { return now; },
            .presentAlert = [this](AppDelegate::Alert alert) { alerts.push_back(alert); },
            .tabHost = {},
            .authentication = {},
            .legacySecrets = nullptr,
            .legacyKeys = nullptr,
        });
    }
    void openPanel() {
        delegate->togglePanel();
        for (int i = 0; i < 2000 && delegate->panelModel()->loading; ++i) {
            QTest::qWait(5);
        }
        ASSERT_TRUE(delegate->panel().isVisible());
    }
    static void waitUntil(const std::function<bool()>& condition, int milliseconds = 3000) {
        for (int waited = 0; waited < milliseconds && !condition(); waited += 10) {
            QTest::qWait(10);
        }
    }

    testing::Stores stores;
    Date now{1'700'000'010}; // 20 seconds left in the period
    std::shared_ptr<testing::QuietWindowSystem> windows =
        std::make_shared<testing::QuietWindowSystem>();
    std::shared_ptr<RecordingDelivery> delivery = std::make_shared<RecordingDelivery>();
    std::vector<AppDelegate::Alert> alerts;
    std::unique_ptr<AppDelegate> delegate;
};

TEST_F(AppDelegateTest, TheShortcutOrTheTrayOpensThePanelAndTheShortcutClosesIt) {
    delegate->togglePanel();
    EXPECT_FALSE(delegate->unlocking()); // no lock: opened at once
    EXPECT_TRUE(delegate->panel().isVisible());
    EXPECT_EQ(delegate->panel().previousApp, windows->front);
    delegate->togglePanel();
    EXPECT_FALSE(delegate->panel().isVisible());

    delegate->createTray();
    QStringList entries;
    for (QAction* action : delegate->trayMenu()->actions()) {
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    EXPECT_EQ(entries,
              (QStringList{"Find Code…", "-", "Settings…", "-", "Quit", "-", "About Zemlar"}));
    EXPECT_EQ(delegate->trayMenu()->actions()[2]->shortcut(), QKeySequence("Ctrl+,"));
    EXPECT_EQ(delegate->trayMenu()->actions()[4]->shortcut(), QKeySequence("Ctrl+Q"));
    delegate->trayMenu()->actions()[0]->trigger();
    EXPECT_TRUE(delegate->panel().isVisible());

    delegate->togglePanel();
    delegate->trayMenu()->popup(QPoint(10, 10)); // an open menu holds the keyboard
    QTest::keyClick(delegate->trayMenu(), Qt::Key_O, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(delegate->trayMenu()->isVisible());
    EXPECT_TRUE(delegate->panel().isVisible());
}

TEST_F(AppDelegateTest, APickWithTimeLeftHidesThePanelThenDelivers) {
    openPanel();
    delegate->deliver(stores.accounts->accounts[0], SubmitMode::type);
    EXPECT_FALSE(delegate->panelModel()->waitingUntil);
    waitUntil([&] { return !delivery->runs.empty(); });
    ASSERT_EQ(delivery->runs.size(), 1u);
    EXPECT_EQ(delivery->runs[0].mode, SubmitMode::type);
    EXPECT_FALSE(delivery->runs[0].panelVisible);
    EXPECT_EQ(windows->activated.back(), *windows->front);             // focus went back first
    EXPECT_EQ(delivery->runs[0].targetWindow, windows->front->window); // and only there it types
    EXPECT_TRUE(alerts.empty());
}

TEST_F(AppDelegateTest, APickInTheLastSecondsWaitsForTheNextPeriod) {
    now = Date(1'700'000'009.7); // 0.3 seconds left of the period ending at 1'700'000'010
    openPanel();
    delegate->deliver(stores.accounts->accounts[0], SubmitMode::copy);
    ASSERT_TRUE(delegate->panelModel()->waitingUntil);
    EXPECT_NEAR(delegate->panelModel()->waitingUntil->secondsSince1970(), 1'700'000'010, 1e-6);
    QTest::qWait(100);
    EXPECT_TRUE(delivery->runs.empty());
    EXPECT_TRUE(delegate->panel().isVisible());
    now = Date(1'700'000'010.05);
    waitUntil([&] { return !delivery->runs.empty(); });
    ASSERT_EQ(delivery->runs.size(), 1u);
    EXPECT_EQ(delivery->runs[0].now, Date(1'700'000'010.05)); // the code of the new period
    EXPECT_FALSE(delegate->panel().isVisible());
    EXPECT_FALSE(delegate->panelModel()->waitingUntil);
}

TEST_F(AppDelegateTest, EscapeDuringTheCountdownDeliversNothing) {
    now = Date(1'700'000'009.7);
    openPanel();
    delegate->deliver(stores.accounts->accounts[0], SubmitMode::type);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    EXPECT_TRUE(delegate->panel().handleKey(&escape));
    EXPECT_FALSE(delegate->panel().isVisible());
    QTest::qWait(600);
    EXPECT_TRUE(delivery->runs.empty());
}

TEST_F(AppDelegateTest, TypingWithoutPermissionOrAFailedDeliveryShowsTheMatchingAlert) {
    delivery->typingAllowed = false;
    openPanel();
    delegate->deliver(stores.accounts->accounts[0], SubmitMode::typeAndSubmit);
    EXPECT_FALSE(delegate->panel().isVisible());
    EXPECT_EQ(alerts, std::vector{AppDelegate::Alert::accessibility});
    QTest::qWait(50);
    EXPECT_TRUE(delivery->runs.empty());

    for (const bool denied : {false, true}) { // copying needs no permission
        delivery->failure = DeliveryFailure{.description = "failed", .accessibilityDenied = denied};
        delegate->deliver(stores.accounts->accounts[0], SubmitMode::copy);
        waitUntil([&] { return alerts.size() == (denied ? 3u : 2u); });
    }
    delivery->failure = DeliveryFailure{.description = "delivery(focusLost)", .focusLost = true};
    delegate->deliver(stores.accounts->accounts[0], SubmitMode::copy);
    waitUntil([&] { return alerts.size() == 4u; });
    EXPECT_EQ(delivery->runs.size(), 3u);
    EXPECT_EQ(alerts,
              (std::vector{AppDelegate::Alert::accessibility, AppDelegate::Alert::deliveryFailed,
                           AppDelegate::Alert::accessibility, AppDelegate::Alert::focusLost}));
}

TEST_F(AppDelegateTest, ReturningFocusWaitsForTheApplicationToComeToTheFront) {
    const FrontApp other{.window = 9, .pid = 900, .wmClass = "Other", .title = {}};
    QElapsedTimer timer;
    timer.start();
    QCoro::waitFor(delegate->returnFocus(other)); // never comes to the front: about 1 s
    EXPECT_GE(timer.elapsed(), 950);
    EXPECT_EQ(windows->activated.back(), other);

    timer.restart();
    QCoro::waitFor(delegate->returnFocus(windows->front)); // already in front: 150 ms
    EXPECT_LT(timer.elapsed(), 800);
    EXPECT_GE(timer.elapsed(), 140); // coarse timers may fire a little early
}

TEST(SingleInstance, ALaterLaunchReachesTheFirstWhichTookOverTheSocketOfACrashedOne) {
    const QTemporaryDir folder;
    SingleInstance first(folder.path());
    {
        // A socket file whose instance is gone: bound once, never listened on.
        sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
        const QByteArray path = QFile::encodeName(first.socketPath());
        std::copy(path.begin(), path.end(), address.sun_path);
        const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(stale);
    }
    ASSERT_TRUE(first.claim());
    QSignalSpy requests(&first, &SingleInstance::settingsRequested);
    SingleInstance second(folder.path());
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(requests.wait(2000));
}

} // namespace
} // namespace zemlar
