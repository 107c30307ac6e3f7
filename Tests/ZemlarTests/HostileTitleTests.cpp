// SPDX-License-Identifier: GPL-3.0-or-later
// A title from a hostile link, QR code or backup, put through every screen that shows one.
#include "AccountsModel.hpp"
#include "AccountsView.hpp"
#include "BackupModel.hpp"
#include "BackupTesting.hpp"
#include "BackupView.hpp"
#include "ImportModel.hpp"
#include "ImportView.hpp"
#include "QRCodeSheet.hpp"
#include "RecoveryCodesSheet.hpp"

#include <QLabel>
#include <QMessageBox>
#include <functional>
#include <memory>
#include <qcoro/qcorotask.h>

namespace zemlar {
namespace {

// Read as rich text, <img src="/dev/zero"> would make Qt read without end until memory runs
// out: a file that does not exist fails the same way without taking the test run down.
const std::string hostileTitle = R"(<b>x</b><img src="/nonexistent/zemlar.png">)";

/// The labels of the widget that show the hostile title, and how each reads its text.
std::vector<std::pair<QString, Qt::TextFormat>> titleLabels(const QWidget& screen) {
    std::vector<std::pair<QString, Qt::TextFormat>> found;
    for (const QLabel* label : screen.findChildren<QLabel*>()) {
        if (label->text().contains(QStringLiteral("<img"))) {
            found.emplace_back(label->text(), label->textFormat());
        }
    }
    return found;
}

class HostileTitleTest : public ::testing::Test {
protected:
    Account addHostileAccount() {
        computer.add(1, hostileTitle);
        QCoro::waitFor(accounts.reload());
        return accounts.accounts().front();
    }
    /// The question the view asked, in the message box that would show it.
    static std::unique_ptr<QWidget> askedBox(const std::vector<Confirmation>& asked) {
        auto box = std::make_unique<QMessageBox>();
        Confirmation::fill(*box, asked.back());
        return box;
    }

    testing::BackupComputer computer;
    AccountsModel accounts{computer.environment, [] {}, testing::alwaysUnlocked};
    ImportModel imports{computer.environment, [] {}};
    BackupModel backup{computer.environment};
};

TEST_F(HostileTitleTest, ShowsLiterallyOnEveryScreen) {
    const Account account = addHostileAccount();
    std::vector<Confirmation> asked;
    auto view = std::make_unique<AccountsView>(accounts);
    view->confirm = [&](const Confirmation& question) {
        asked.push_back(question);
        return false;
    };

    const std::vector<std::pair<const char*, std::function<std::unique_ptr<QWidget>()>>> screens = {
        {"delete question",
         [&] {
             QCoro::waitFor(view->deleteAccount(account));
             return askedBox(asked);
         }},
        {"QR code question",
         [&] {
             QCoro::waitFor(view->showQRCode(account));
             return askedBox(asked);
         }},
        {"QR code sheet",
         [&] {
             return std::make_unique<QRCodeSheet>(
                 ShownQRCode{.id = account.id, .title = hostileTitle, .png = {}});
         }},
        {"recovery codes", [&] { return std::make_unique<RecoveryCodesSheet>(accounts, account); }},
        {"import results",
         [&] {
             QCoro::waitFor(imports.addManually(hostileTitle, "", "JBSWY3DPEHPK3PXP",
                                                OTPAlgorithm::sha1, 6, 30));
             return std::make_unique<ImportView>(imports);
         }},
        {"backup check",
         [&] {
             computer.setPassphrase();
             computer.put("backup.zemlar",
                          testing::sealedFile({testing::phoneAccount(2, "Other")}));
             QCoro::waitFor(backup.verify());
             return std::make_unique<BackupView>(backup);
         }},
        {"accounts list", [&]() -> std::unique_ptr<QWidget> { return std::move(view); }},
    };
    for (const auto& [screenName, show] : screens) {
        SCOPED_TRACE(screenName);
        const std::unique_ptr<QWidget> screen = show();
        const auto labels = titleLabels(*screen);
        EXPECT_FALSE(labels.empty());
        for (const auto& [text, format] : labels) {
            EXPECT_EQ(format, Qt::PlainText) << text.toStdString();
        }
    }
}

} // namespace
} // namespace zemlar
