// SPDX-License-Identifier: GPL-3.0-or-later
// The real PAM conversation. CTest runs this binary with pam_wrapper preloaded and a "zemlar"
// service that checks passwords and the account with pam_matrix against a file this test
// writes, behind a module that waits like a fingerprint reader when a test asks it to.
#include "Support.hpp"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <ZemlarKit/PamDeviceAuthentication.hpp>
#include <ZemlarScreens/PasswordDialog.hpp>
#include <ZemlarScreens/SessionLock.hpp>
#include <cstdlib>
#include <memory>
#include <security/pam_appl.h>
#include <string_view>
#include <tuple>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

const QString reason = QStringLiteral("show your two-factor codes");

TEST(PamServiceName, PrefersOurOwnServiceFileAndFallsBackToLogin) {
    QTemporaryDir configured;
    QTemporaryDir folderOnly;
    ASSERT_TRUE(configured.isValid() && folderOnly.isValid());
    QFile service(configured.filePath(QStringLiteral("zemlar")));
    ASSERT_TRUE(service.open(QIODevice::WriteOnly));
    service.close();
    ASSERT_TRUE(QDir(folderOnly.path()).mkdir(QStringLiteral("zemlar"))); // no service file
    EXPECT_EQ(PamDeviceAuthentication::serviceName({folderOnly.path()}), QStringLiteral("login"));
    EXPECT_EQ(PamDeviceAuthentication::serviceName({folderOnly.path(), configured.path()}),
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
        allowUserFor(QStringLiteral("zemlar"));
        prompter = std::make_shared<ScriptedPrompter>();
        authentication = std::make_unique<PamDeviceAuthentication>(
            prompter, QStringList{QString::fromLocal8Bit(services)});
    }

    /// Writes the password file: the user's password is "right-password", and pam_matrix's
    /// account check lets the user in only through `service`.
    void allowUserFor(const QString& service) {
        const QString passwords = scratch.filePath(QStringLiteral("passdb"));
        QFile file(passwords);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write((PamDeviceAuthentication::currentUser() + QStringLiteral(":right-password:") +
                    service + QLatin1Char('\n'))
                       .toUtf8());
        file.close();
        qputenv("PAM_MATRIX_PASSWD", passwords.toUtf8());
    }

    QTemporaryDir scratch;
    std::shared_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<PamDeviceAuthentication> authentication;
};

// One row per way the conversation ends: only the right password of an account the account
// check lets in authenticates.
TEST_F(PamTest, OnlyTheRightPasswordOfAnAdmittedAccountAuthenticates) {
    const std::tuple<const char*, std::optional<QString>, const char*, bool> cases[] = {
        {"right", QStringLiteral("right-password"), "zemlar", true},
        {"wrong", QStringLiteral("wrong-password"), "zemlar", false},
        {"cancelled", std::nullopt, "zemlar", false},
        {"account refused", QStringLiteral("right-password"), "elsewhere", false},
    };
    for (const auto& [what, answer, service, succeeds] : cases) {
        SCOPED_TRACE(what);
        allowUserFor(QString::fromLatin1(service));
        *prompter = ScriptedPrompter();
        prompter->answer = answer;
        EXPECT_EQ(QCoro::waitFor(authentication->authenticate(reason)), succeeds);
        EXPECT_EQ(prompter->begun, std::vector<QString>{reason});
        EXPECT_EQ(prompter->prompts.size(), 1u);
        EXPECT_EQ(prompter->ended, std::vector<bool>{succeeds});
        // The first module's information message reached the prompter before the end.
        ASSERT_FALSE(prompter->messages.empty());
        EXPECT_FALSE(prompter->messages.front().second);
        EXPECT_EQ(prompter->messagesBeforeEnd, prompter->messages.size());
    }
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

    void click(QDialogButtonBox::StandardButton button) {
        dialog->buttons()->button(button)->click();
    }

    std::shared_ptr<PasswordDialog> dialog;
};

TEST_F(PamDialogTest, ASecondRequestWaitsForTheFirstsAnswerInsteadOfAskingAgain) {
    store(QStringLiteral("requireAuthentication"), true);
    SessionLock lock(*authentication, noBus(), noBus());
    int asked = 0;
    std::optional<QCoro::Task<bool>> second;
    QObject::connect(dialog.get(), &PasswordDialog::answerRequested, dialog.get(), [&] {
        if (++asked > 1) {
            click(QDialogButtonBox::Cancel);
            return;
        }
        QTest::keyClicks(dialog->answerField(), QStringLiteral("right-password"));
        click(QDialogButtonBox::Ok);
        // The shortcut again, or Show QR Code, while the first is being checked.
        second.emplace(lock.unlock());
    });
    EXPECT_TRUE(QCoro::waitFor(lock.unlock()));
    ASSERT_TRUE(second);
    EXPECT_TRUE(QCoro::waitFor(*second));
    EXPECT_EQ(asked, 1);
}

TEST_F(PamDialogTest, CancellingDuringAReadersWaitEndsTheConversation) {
    const QString release = scratch.filePath(QStringLiteral("touched"));
    qputenv("ZEMLAR_TEST_READER_RELEASE", release.toUtf8());
    const auto quiet = qScopeGuard([] { qunsetenv("ZEMLAR_TEST_READER_RELEASE"); });
    int asked = 0;
    QObject::connect(dialog.get(), &PasswordDialog::answerRequested, dialog.get(), [&] {
        ++asked;
        click(QDialogButtonBox::Cancel);
    });
    QCoro::Task<bool> authenticating = authentication->authenticate(reason);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return dialog->messageLabel()->text() ==
                   QStringLiteral("Place your finger on the reader");
        },
        5000));
    click(QDialogButtonBox::Cancel);
    QFile touched(release); // the reader stops waiting and the module asks for a password
    ASSERT_TRUE(touched.open(QIODevice::WriteOnly));
    touched.close();
    EXPECT_FALSE(QCoro::waitFor(authenticating));
    EXPECT_FALSE(dialog->isVisible());
    QFile status(release + QStringLiteral(".status"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return status.exists(); }, 5000));
    ASSERT_TRUE(status.open(QIODevice::ReadOnly));
    EXPECT_EQ(status.readAll(), QByteArray::number(PAM_CONV_ERR));
    EXPECT_EQ(asked, 0);
}

} // namespace
