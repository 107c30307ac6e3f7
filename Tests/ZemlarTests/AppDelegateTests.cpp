// SPDX-License-Identifier: GPL-3.0-or-later
// The shell: the panel's opening and delivery, the session lock's side, and the single instance
// with its messages.
#include "AppDelegate.hpp"
#include "AppDoubles.hpp"
#include "InstanceRequest.hpp"
#include "SingleInstance.hpp"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <TestSupport/FreshSettings.hpp>
#include <algorithm>
#include <gtest/gtest.h>
#include <stdexcept>
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
    run(Account, SubmitMode, CodeDeliveryFlow::Clock clock,
        std::optional<std::uint64_t> targetWindow) override {
        runs.push_back({clock(), panelVisibleAtRun(), targetWindow});
        co_return failure;
    }
    std::function<bool()> panelVisibleAtRun;
    struct Run {
        Date now;
        bool panelVisible;
        std::optional<std::uint64_t> targetWindow;
    };
    std::vector<Run> runs;
    bool typingAllowed = true;
    std::optional<DeliveryFailure> failure;
};

class AppDelegateTest : public testing::FreshSettings {
protected:
    void SetUp() override {
        FreshSettings::SetUp();
        stores.accounts->list = {account(1, "GitHub")};
        delivery->panelVisibleAtRun = [this] { return delegate->panel().isVisible(); };
        start({});
    }
    void start(std::shared_ptr<DeviceAuthentication> authentication) {
        delegate = std::make_unique<AppDelegate>(AppDelegate::Parts{
            .environment = stores.environment(),
            .windowSystem = windows,
            .delivery = delivery,
            .clock = [this] { return now; },
            .presentAlert = [this](AppDelegate::Alert alert) { alerts.push_back(alert); },
            .tabHost = {},
            .authentication = std::move(authentication),
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

    testing::Stores stores;
    Date now{1'700'000'010}; // 20 seconds left in the period
    std::shared_ptr<testing::QuietWindowSystem> windows =
        std::make_shared<testing::QuietWindowSystem>();
    std::shared_ptr<RecordingDelivery> delivery = std::make_shared<RecordingDelivery>();
    std::vector<AppDelegate::Alert> alerts;
    std::unique_ptr<AppDelegate> delegate;
};

TEST_F(AppDelegateTest, APickWithTimeLeftHidesThePanelThenTypesIntoTheWindowInFront) {
    openPanel();
    delegate->deliver(stores.accounts->list[0], SubmitMode::type);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delivery->runs.empty(); }, 3000));
    EXPECT_FALSE(delivery->runs[0].panelVisible);
    EXPECT_EQ(windows->activated.back(), *windows->front);             // focus went back first
    EXPECT_EQ(delivery->runs[0].targetWindow, windows->front->window); // and only there it types
}

TEST_F(AppDelegateTest, APickInTheLastSecondsWaitsForTheNextPeriodUnlessEscapeCancelsIt) {
    now = Date(1'700'000'009.7); // 0.3 seconds left of the period ending at 1'700'000'010
    openPanel();
    delegate->deliver(stores.accounts->list[0], SubmitMode::copy);
    ASSERT_TRUE(delegate->panelModel()->waitingUntil);
    EXPECT_NEAR(delegate->panelModel()->waitingUntil->secondsSince1970(), 1'700'000'010, 1e-6);
    QTest::qWait(100);
    EXPECT_TRUE(delivery->runs.empty());
    EXPECT_TRUE(delegate->panel().isVisible());
    now = Date(1'700'000'010.05);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !delivery->runs.empty(); }, 3000));
    EXPECT_EQ(delivery->runs[0].now, Date(1'700'000'010.05)); // the code of the new period
    EXPECT_FALSE(delegate->panel().isVisible());

    now = Date(1'700'000'039.7);
    openPanel();
    delegate->deliver(stores.accounts->list[0], SubmitMode::type);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    EXPECT_TRUE(delegate->panel().handleKey(&escape));
    now = Date(1'700'000'040.05); // the wait would end now
    QTest::qWait(600);
    EXPECT_EQ(delivery->runs.size(), 1u);
}

TEST_F(AppDelegateTest, TypingWithoutPermissionOrAFailedDeliveryShowsTheMatchingAlert) {
    delivery->typingAllowed = false;
    openPanel();
    delegate->deliver(stores.accounts->list[0], SubmitMode::typeAndSubmit);
    EXPECT_FALSE(delegate->panel().isVisible());
    EXPECT_EQ(alerts, std::vector{AppDelegate::Alert::accessibility});
    QTest::qWait(50);
    EXPECT_TRUE(delivery->runs.empty());

    for (const bool denied : {false, true}) { // copying needs no permission
        delivery->failure = DeliveryFailure{.description = "failed", .accessibilityDenied = denied};
        delegate->deliver(stores.accounts->list[0], SubmitMode::copy);
        EXPECT_TRUE(QTest::qWaitFor([&] { return alerts.size() == (denied ? 3u : 2u); }, 3000));
    }
    delivery->failure = DeliveryFailure{.description = "delivery(focusLost)", .focusLost = true};
    delegate->deliver(stores.accounts->list[0], SubmitMode::copy);
    EXPECT_TRUE(QTest::qWaitFor([&] { return alerts.size() == 4u; }, 3000));
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
    const qint64 neverInFront = timer.elapsed();
    EXPECT_GE(neverInFront, 950);
    EXPECT_EQ(windows->activated.back(), other);

    // Already in front: the settling pause only (load stretches waits: no upper bound).
    timer.restart();
    QCoro::waitFor(delegate->returnFocus(windows->front));
    EXPECT_GE(timer.elapsed(), 140); // coarse timers may fire a little early
    EXPECT_LT(timer.elapsed(), neverInFront);
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

/// Fails with an exception the first time (as a prompter that went away might), then agrees.
class FailingOnceAuthentication final : public DeviceAuthentication {
public:
    int requests = 0;

    QCoro::Task<bool> authenticate(QString) override {
        if (++requests == 1) {
            throw std::runtime_error("no prompter");
        }
        co_return true;
    }
};

TEST_F(AppDelegateTest, AFailedUnlockLeavesTheShortcutWorkingAndALockHidesThePanel) {
    store(QStringLiteral("requireAuthentication"), true);
    const auto authentication = std::make_shared<FailingOnceAuthentication>();
    start(authentication);
    delegate->togglePanel();
    EXPECT_FALSE(delegate->unlocking());
    EXPECT_FALSE(delegate->panel().isVisible());

    delegate->togglePanel();
    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate->panel().isVisible(); }, 5000));
    EXPECT_EQ(authentication->requests, 2);

    delegate->sessionLock().lock();
    EXPECT_FALSE(delegate->panel().isVisible());
}

using namespace InstanceMessage;

const InstanceRequest importRequest{.name = InstanceRequest::importFile,
                                    .arguments = {QStringLiteral("/home/me/ü.png"), QString()}};

// A request and its reply through the running instance are the command line's test.
TEST(InstanceMessage, FramesArriveInPiecesAndABadOneIsRefusedOrTakenOffWithoutAMessage) {
    const QByteArray frame = encode(importRequest);
    QByteArray buffer;
    for (const char byte : frame.chopped(1)) {
        buffer.append(byte);
        ASSERT_EQ(check(buffer), Frame::incomplete);
    }
    buffer.append(frame.back());
    EXPECT_EQ(takeRequest(buffer), importRequest);
    EXPECT_TRUE(buffer.isEmpty());

    QByteArray oversized("\x7f\xff\xff\xff{}", 6);
    EXPECT_EQ(check(oversized), Frame::invalid);
    for (const QByteArray& body : {QByteArray("[1]"), QByteArray(R"({"request":1})"),
                                   QByteArray(R"({"request":"import","arguments":[1]})")}) {
        buffer = QByteArray("\0\0\0", 3) + char(body.size()) + body + "tail";
        EXPECT_EQ(takeRequest(buffer), std::nullopt) << body.constData();
        EXPECT_EQ(buffer, "tail");
    }
}

} // namespace
} // namespace zemlar
