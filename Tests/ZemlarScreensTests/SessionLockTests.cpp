// SPDX-License-Identifier: GPL-3.0-or-later
// The session lock over a scripted authentication, and the password dialog that asks for it.
#include "Support.hpp"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <ZemlarScreens/PasswordDialog.hpp>
#include <ZemlarScreens/SessionLock.hpp>
#include <functional>
#include <gtest/gtest.h>
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
    bool unlock(SessionLock& lock) { return QCoro::waitFor(lock.unlock()); }

    FakeDeviceAuthentication authentication;
};

TEST_F(SessionLockTest, AsksOncePerSessionAndAgainAfterLockingOrRelaunching) {
    store(requirementKey, true);
    auto lock = makeLock();
    EXPECT_FALSE(lock->unlocked());
    EXPECT_TRUE(unlock(*lock));
    EXPECT_TRUE(unlock(*lock));
    EXPECT_EQ(authentication.reasons, std::vector<QString>{showCodesReason});

    QSignalSpy changed(lock.get(), &SessionLock::changed);
    lock->lock();
    EXPECT_FALSE(lock->unlocked());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(unlock(*lock));
    EXPECT_EQ(authentication.reasons.size(), 2u);

    auto relaunched = makeLock();
    EXPECT_FALSE(relaunched->unlocked());
    EXPECT_TRUE(unlock(*relaunched));
    EXPECT_EQ(authentication.reasons.size(), 3u);
    QCoro::waitFor(relaunched->setEnabled(false)); // turning off keeps an unlocked session so
    EXPECT_TRUE(relaunched->unlocked());
}

TEST_F(SessionLockTest, ARefusedAuthenticationKeepsTheCodesHiddenAndAsksNextTime) {
    store(requirementKey, true);
    authentication.answers = {false, true};
    auto lock = makeLock();
    EXPECT_FALSE(unlock(*lock));
    EXPECT_FALSE(lock->unlocked());
    EXPECT_TRUE(unlock(*lock));
    EXPECT_EQ(authentication.reasons.size(), 2u);
}

TEST_F(SessionLockTest, AFreshInstallationShowsCodesWithoutAskingAndTurningOnLocksAtOnce) {
    auto lock = makeLock();
    QCoro::waitFor(lock->setEnabled(false)); // already off: nothing is asked
    EXPECT_FALSE(lock->isEnabled());
    EXPECT_TRUE(unlock(*lock));
    QCoro::waitFor(lock->setEnabled(true));
    EXPECT_FALSE(lock->unlocked());
    EXPECT_TRUE(authentication.reasons.empty());
    EXPECT_TRUE(unlock(*lock));
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
    EXPECT_TRUE(unlock(*lock));
    EXPECT_EQ(authentication.reasons.size(), 2u);
}

/// Answers the dialog's next question once it waits: `act` runs on the waiting dialog.
void whenAsked(PasswordDialog& dialog, std::function<void()> act) {
    QObject::connect(&dialog, &PasswordDialog::answerRequested, &dialog, std::move(act),
                     Qt::SingleShotConnection);
}

TEST(PasswordDialog, GivesTheTypedPasswordHiddenAndForgetsItAndCancellingGivesNothing) {
    PasswordDialog dialog;
    dialog.begin(showCodesReason, {});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.answerField()->isEnabled());
    for (const bool echo : {false, true}) {
        QLineEdit::EchoMode mode = QLineEdit::NoEcho;
        whenAsked(dialog, [&dialog, &mode] {
            mode = dialog.answerField()->echoMode();
            QTest::keyClicks(dialog.answerField(), QStringLiteral("s3cret"));
            dialog.buttons()->button(QDialogButtonBox::Ok)->click();
        });
        EXPECT_EQ(dialog.askSecret(QStringLiteral("Password: "), echo), QStringLiteral("s3cret"));
        EXPECT_EQ(mode, echo ? QLineEdit::Normal : QLineEdit::Password);
        EXPECT_TRUE(dialog.answerField()->text().isEmpty());
        EXPECT_FALSE(dialog.answerField()->isEnabled());
    }
    whenAsked(dialog, [&dialog] {
        QTest::keyClicks(dialog.answerField(), QStringLiteral("typed"));
        dialog.buttons()->button(QDialogButtonBox::Cancel)->click();
    });
    EXPECT_EQ(dialog.askSecret(QStringLiteral("Password: "), false), std::nullopt);
    whenAsked(dialog, [&dialog] { dialog.reject(); });
    EXPECT_EQ(dialog.askSecret(QStringLiteral("Password: "), false), std::nullopt);
    dialog.end(true);
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
