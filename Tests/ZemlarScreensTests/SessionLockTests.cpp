// SPDX-License-Identifier: GPL-3.0-or-later
#include "Support.hpp"

#include <QSignalSpy>
#include <ZemlarScreens/SessionLock.hpp>
#include <memory>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

const QString requirementKey = QStringLiteral("requireAuthentication");
const QString showCodesReason = QStringLiteral("show your two-factor codes");
const QString turnOffReason = QStringLiteral("turn off the password check");

class SessionLockTest : public FreshSettings {
protected:
    std::unique_ptr<SessionLock> makeLock() {
        return std::make_unique<SessionLock>(authentication, noBus(), noBus());
    }

    FakeDeviceAuthentication authentication;
};

TEST_F(SessionLockTest, AFreshInstallationShowsCodesWithoutAsking) {
    auto lock = makeLock();
    EXPECT_FALSE(lock->isEnabled());
    EXPECT_FALSE(lock->unlocked());
    EXPECT_TRUE(QCoro::waitFor(lock->unlock()));
    EXPECT_TRUE(QCoro::waitFor(lock->unlock()));
    EXPECT_TRUE(authentication.reasons.empty());
}

TEST_F(SessionLockTest, AsksOncePerSessionAndAgainAfterLocking) {
    store(requirementKey, true);
    auto lock = makeLock();
    ASSERT_TRUE(lock->isEnabled());
    EXPECT_FALSE(lock->unlocked());

    EXPECT_TRUE(QCoro::waitFor(lock->unlock()));
    EXPECT_TRUE(lock->unlocked());
    EXPECT_TRUE(QCoro::waitFor(lock->unlock()));
    EXPECT_EQ(authentication.reasons, std::vector<QString>{showCodesReason});

    QSignalSpy changed(lock.get(), &SessionLock::changed);
    lock->lock();
    EXPECT_FALSE(lock->unlocked());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(QCoro::waitFor(lock->unlock()));
    EXPECT_EQ(authentication.reasons.size(), 2u);
}

TEST_F(SessionLockTest, ARefusedAuthenticationKeepsTheCodesHiddenAndAsksNextTime) {
    store(requirementKey, true);
    authentication.answers = {false, true};
    auto lock = makeLock();
    EXPECT_FALSE(QCoro::waitFor(lock->unlock()));
    EXPECT_FALSE(lock->unlocked());
    EXPECT_TRUE(QCoro::waitFor(lock->unlock()));
    EXPECT_EQ(authentication.reasons.size(), 2u);
}

TEST_F(SessionLockTest, EveryLaunchStartsLocked) {
    store(requirementKey, true);
    EXPECT_TRUE(QCoro::waitFor(makeLock()->unlock()));
    auto relaunched = makeLock();
    EXPECT_FALSE(relaunched->unlocked());
    EXPECT_TRUE(QCoro::waitFor(relaunched->unlock()));
    EXPECT_EQ(authentication.reasons.size(), 2u);
}

TEST_F(SessionLockTest, TurningTheRequirementOnLocksAtOnce) {
    auto lock = makeLock();
    EXPECT_TRUE(QCoro::waitFor(lock->unlock()));
    QCoro::waitFor(lock->setEnabled(true));
    EXPECT_TRUE(lock->isEnabled());
    EXPECT_FALSE(lock->unlocked());
    EXPECT_EQ(stored(requirementKey), QVariant(true));
    EXPECT_TRUE(authentication.reasons.empty());

    EXPECT_TRUE(QCoro::waitFor(lock->unlock()));
    EXPECT_EQ(authentication.reasons, std::vector<QString>{showCodesReason});
}

TEST_F(SessionLockTest, TurningTheRequirementOffNeedsTheOwner) {
    store(requirementKey, true);
    authentication.answers = {false};
    auto lock = makeLock();

    QCoro::waitFor(lock->setEnabled(false));
    EXPECT_TRUE(lock->isEnabled());
    EXPECT_EQ(stored(requirementKey), QVariant(true));
    EXPECT_EQ(authentication.reasons, std::vector<QString>{turnOffReason});

    QCoro::waitFor(lock->setEnabled(false));
    EXPECT_FALSE(lock->isEnabled());
    EXPECT_EQ(stored(requirementKey), QVariant(false));
    // Turning off does not unlock by itself, but nothing is asked any more.
    EXPECT_FALSE(lock->unlocked());
    EXPECT_TRUE(QCoro::waitFor(lock->unlock()));
    EXPECT_EQ(authentication.reasons.size(), 2u);
}

TEST_F(SessionLockTest, TurningOffWhileOffWritesFalseWithoutAsking) {
    auto lock = makeLock();
    QCoro::waitFor(lock->setEnabled(false));
    EXPECT_FALSE(lock->isEnabled());
    EXPECT_EQ(stored(requirementKey), QVariant(false));
    EXPECT_TRUE(authentication.reasons.empty());
}

TEST_F(SessionLockTest, TurningOffAfterUnlockingKeepsTheSessionUnlocked) {
    store(requirementKey, true);
    auto lock = makeLock();
    EXPECT_TRUE(QCoro::waitFor(lock->unlock()));
    QCoro::waitFor(lock->setEnabled(false));
    EXPECT_TRUE(lock->unlocked());
}

} // namespace
