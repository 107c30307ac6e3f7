// SPDX-License-Identifier: GPL-3.0-or-later
// The real PAM conversation. CTest runs this binary with pam_wrapper preloaded and a "zemlar"
// service that checks passwords with pam_matrix against a file this test writes.
#include "Support.hpp"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <ZemlarKit/PamDeviceAuthentication.hpp>
#include <ZemlarScreens/PasswordDialog.hpp>
#include <ZemlarScreens/SessionLock.hpp>
#include <cstdlib>
#include <memory>
#include <string_view>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

const QString reason = QStringLiteral("show your two-factor codes");

TEST(PamServiceName, PrefersOurOwnServiceFileAndFallsBackToLogin) {
    QTemporaryDir empty;
    QTemporaryDir configured;
    QTemporaryDir folderOnly;
    ASSERT_TRUE(empty.isValid() && configured.isValid() && folderOnly.isValid());
    QFile service(configured.filePath(QStringLiteral("zemlar")));
    ASSERT_TRUE(service.open(QIODevice::WriteOnly));
    service.close();
    ASSERT_TRUE(QDir(folderOnly.path()).mkdir(QStringLiteral("zemlar"))); // no service file
    EXPECT_EQ(PamDeviceAuthentication::serviceName({empty.path()}), QStringLiteral("login"));
    EXPECT_EQ(PamDeviceAuthentication::serviceName({}), QStringLiteral("login"));
    EXPECT_EQ(PamDeviceAuthentication::serviceName({folderOnly.path()}), QStringLiteral("login"));
    EXPECT_EQ(PamDeviceAuthentication::serviceName({empty.path(), configured.path()}),
              QStringLiteral("zemlar"));
}

class PamTest : public FreshSettings {
protected:
    void SetUp() override {
        const char* wrapper = std::getenv("PAM_WRAPPER");
        const char* services = std::getenv("PAM_WRAPPER_SERVICE_DIR");
        if (wrapper == nullptr || std::string_view(wrapper) != "1" || services == nullptr) {
            GTEST_SKIP() << "needs pam_wrapper with pam_matrix (run through CTest)";
        }
        FreshSettings::SetUp();
        ASSERT_TRUE(scratch.isValid());
        const QString passwords = scratch.filePath(QStringLiteral("passdb"));
        QFile file(passwords);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            (PamDeviceAuthentication::currentUser() + QStringLiteral(":right-password:zemlar\n"))
                .toUtf8());
        file.close();
        qputenv("PAM_MATRIX_PASSWD", passwords.toUtf8());
        prompter = std::make_shared<ScriptedPrompter>();
        authentication = std::make_unique<PamDeviceAuthentication>(
            prompter, QStringList{QString::fromLocal8Bit(services)});
    }

    QTemporaryDir scratch;
    std::shared_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<PamDeviceAuthentication> authentication;
};

TEST_F(PamTest, TheRightPasswordAuthenticates) {
    prompter->answer = QStringLiteral("right-password");
    EXPECT_TRUE(QCoro::waitFor(authentication->authenticate(reason)));
    EXPECT_EQ(prompter->begun, std::vector<QString>{reason});
    EXPECT_EQ(prompter->prompts.size(), 1u);
    EXPECT_EQ(prompter->ended, std::vector<bool>{true});
    // The information messages of the first module all reached the prompter before the end.
    ASSERT_FALSE(prompter->messages.empty());
    EXPECT_FALSE(prompter->messages.front().first.isEmpty());
    EXPECT_FALSE(prompter->messages.front().second);
    EXPECT_EQ(prompter->messagesBeforeEnd, prompter->messages.size());
}

TEST_F(PamTest, AWrongOrEmptyPasswordOrCancellingDoesNot) {
    for (const std::optional<QString>& answer :
         {std::optional(QStringLiteral("wrong-password")), std::optional(QString()),
          std::optional<QString>()}) {
        SCOPED_TRACE(answer.value_or(QStringLiteral("cancelled")).toStdString());
        prompter->answer = answer;
        prompter->ended.clear();
        prompter->prompts.clear();
        EXPECT_FALSE(QCoro::waitFor(authentication->authenticate(reason)));
        EXPECT_EQ(prompter->prompts.size(), 1u);
        EXPECT_EQ(prompter->ended, std::vector<bool>{false});
    }
}

TEST_F(PamTest, TheSessionLockUnlocksOnceWithTheRightPassword) {
    store(QStringLiteral("requireAuthentication"), true);
    SessionLock lock(*authentication, noBus(), noBus());
    prompter->answer = QStringLiteral("wrong-password");
    EXPECT_FALSE(QCoro::waitFor(lock.unlock()));
    prompter->answer = QStringLiteral("right-password");
    EXPECT_TRUE(QCoro::waitFor(lock.unlock()));
    EXPECT_TRUE(QCoro::waitFor(lock.unlock()));
    EXPECT_EQ(prompter->begun.size(), 2u);
}

/// Our own dialog in the real conversation, answered the way a user would.
class PamDialogTest : public PamTest {
protected:
    void SetUp() override {
        PamTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        dialog = std::make_shared<PasswordDialog>();
        authentication = std::make_unique<PamDeviceAuthentication>(
            dialog, QStringList{QString::fromLocal8Bit(std::getenv("PAM_WRAPPER_SERVICE_DIR"))});
    }

    void answerWith(const QString& password, QDialogButtonBox::StandardButton button) {
        QObject::connect(
            dialog.get(), &PasswordDialog::answerRequested, dialog.get(),
            [this, password, button] {
                EXPECT_TRUE(dialog->isVisible());
                QTest::keyClicks(dialog->answerField(), password);
                dialog->buttons()->button(button)->click();
            },
            Qt::SingleShotConnection);
    }

    std::shared_ptr<PasswordDialog> dialog;
};

TEST_F(PamDialogTest, TheRightPasswordTypedIntoTheDialogAuthenticates) {
    answerWith(QStringLiteral("right-password"), QDialogButtonBox::Ok);
    EXPECT_TRUE(QCoro::waitFor(authentication->authenticate(reason)));
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(PamDialogTest, AWrongPasswordOrCancellingDoesNot) {
    answerWith(QStringLiteral("wrong-password"), QDialogButtonBox::Ok);
    EXPECT_FALSE(QCoro::waitFor(authentication->authenticate(reason)));
    answerWith(QStringLiteral("right-password"), QDialogButtonBox::Cancel);
    EXPECT_FALSE(QCoro::waitFor(authentication->authenticate(reason)));
    EXPECT_FALSE(dialog->isVisible());
}

} // namespace
