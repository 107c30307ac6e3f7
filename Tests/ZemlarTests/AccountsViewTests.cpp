// SPDX-License-Identifier: GPL-3.0-or-later
#include "AccountsTesting.hpp"
#include "AccountsView.hpp"
#include "EditSheet.hpp"
#include "GroupRow.hpp"
#include "GroupsSheet.hpp"
#include "QRCodeSheet.hpp"
#include "RecoveryCodesSheet.hpp"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <ZemlarScreens/Texts.hpp>

namespace zemlar {
namespace {

class AccountsViewTest : public testing::AccountsScreenTest {
protected:
    /// Each section's header with the texts of its rows.
    static std::vector<std::pair<QString, QStringList>> sections(const AccountsView& view) {
        std::vector<std::pair<QString, QStringList>> result;
        for (int index = 0; index < view.list()->topLevelItemCount(); ++index) {
            const QTreeWidgetItem* header = view.list()->topLevelItem(index);
            QStringList rows;
            for (int row = 0; row < header->childCount(); ++row) {
                const QTreeWidgetItem* item = header->child(row);
                rows << (item->text(0).isEmpty() ? item->data(0, Qt::AccessibleTextRole).toString()
                                                 : item->text(0));
            }
            result.emplace_back(header->text(0), rows);
        }
        return result;
    }
    bool confirmed = true;
    std::vector<Confirmation> asked;
    Confirmation::Asker answer = [this](const Confirmation& question) {
        asked.push_back(question);
        return confirmed;
    };
};

TEST_F(AccountsViewTest, WithoutAccountsTheListSaysWhereToAddThemAndNothingCanBeEdited) {
    addGroup("Work");
    AccountsView view(model);
    run(model.reload());
    EXPECT_TRUE(view.emptyLabel()->isVisibleTo(&view));
    EXPECT_EQ(view.emptyLabel()->text(),
              Texts::text("No accounts yet. Add them on the Import tab."));
    EXPECT_FALSE(view.editButton()->isEnabled());
    EXPECT_FALSE(view.deleteButton()->isEnabled());
    EXPECT_TRUE(view.groupsButton()->isEnabled());
    EXPECT_EQ(sections(view), (std::vector<std::pair<QString, QStringList>>{
                                  {"Work", {Texts::text("No accounts in this group")}}}));

    const Account account = addAccount("ACME Co", "alice");
    run(model.reload());
    EXPECT_FALSE(view.emptyLabel()->isVisibleTo(&view));
    view.select(account.id);
    EXPECT_TRUE(view.editButton()->isEnabled());
    EXPECT_TRUE(view.deleteButton()->isEnabled());
}

TEST_F(AccountsViewTest, DeletingAGroupAsksAndMovesItsAccountsToNoGroup) {
    const AccountGroup work = addGroup("Work");
    const Account account = addAccount("ACME Co", "alice");
    run(model.reload());
    run(model.move(account.id, work.id));
    AccountsView view(model);
    ASSERT_EQ(sections(view).front().second, QStringList{"ACME Co · alice"});

    GroupsSheet sheet(model);
    sheet.confirm = answer;
    ASSERT_EQ(sheet.rows().size(), 1u);
    run(sheet.deleteGroup(work));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].title, "Delete group “Work”?");
    EXPECT_EQ(asked[0].message, Texts::text("Its accounts are kept and move to No Group."));
    EXPECT_TRUE(asked[0].destructive);
    EXPECT_EQ(sections(view), (std::vector<std::pair<QString, QStringList>>{
                                  {Texts::text("No Group"), {"ACME Co · alice"}}}));
    EXPECT_TRUE(sheet.rows().empty());
}

TEST_F(AccountsViewTest, ARefusedGroupNameStaysInTheAddFieldAndGoesBackInTheRow) {
    const AccountGroup work = addGroup("Work");
    run(model.reload());
    GroupsSheet sheet(model);
    EXPECT_FALSE(sheet.addButton()->isEnabled());
    sheet.newGroupField()->setText("  ");
    EXPECT_FALSE(sheet.addButton()->isEnabled());
    sheet.newGroupField()->setText("work");
    EXPECT_TRUE(sheet.addButton()->isEnabled());
    EXPECT_FALSE(run(sheet.addGroup()));
    EXPECT_EQ(sheet.newGroupField()->text(), "work");
    EXPECT_EQ(model.errorMessage(), Texts::text("A group with this name already exists"));
    EXPECT_EQ(sheet.errorLabel()->text(), Texts::text("A group with this name already exists"));
    EXPECT_TRUE(sheet.errorLabel()->isVisibleTo(&sheet));
    sheet.newGroupField()->setText("Home");
    EXPECT_TRUE(run(sheet.addGroup()));
    EXPECT_FALSE(sheet.errorLabel()->isVisibleTo(&sheet));
    EXPECT_EQ(sheet.newGroupField()->text(), "");
    EXPECT_EQ(sheet.rows().size(), 2u);

    GroupRow row(model, work, 0);
    row.nameField()->setText(" ");
    EXPECT_FALSE(run(row.rename()));
    EXPECT_EQ(row.nameField()->text(), "Work");
    EXPECT_EQ(model.errorMessage(), Texts::text("Enter a group name"));
    EXPECT_EQ(sheet.errorLabel()->text(), Texts::text("Enter a group name"));
    row.nameField()->setText(" Office ");
    EXPECT_TRUE(run(row.rename()));
    EXPECT_EQ(row.nameField()->text(), "Office");
}

TEST_F(AccountsViewTest, TheEditSheetSavesOnlyATitleAndStaysOpenWhenSavingFails) {
    const Account account = addAccount("ACME Co", "alice");
    run(model.reload());
    EditSheet sheet(model, account);
    auto* issuer = sheet.findChild<QLineEdit*>("issuer");
    auto* name = sheet.findChild<QLineEdit*>("name");
    EXPECT_TRUE(sheet.saveButton()->isEnabled());
    issuer->setText(" \t");
    name->setText("\n ");
    EXPECT_FALSE(sheet.saveButton()->isEnabled());
    name->setText(" b");
    EXPECT_TRUE(sheet.saveButton()->isEnabled());

    sheet.show();
    accountStore->failSave = AccountStoreError::writeFailed();
    EXPECT_FALSE(run(sheet.saveChanges()));
    EXPECT_TRUE(sheet.isVisible());
    accountStore->failSave.reset();
    EXPECT_TRUE(run(sheet.saveChanges()));
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(model.accounts().front().name, "b");
    EXPECT_EQ(model.accounts().front().issuer, "");
}

TEST_F(AccountsViewTest, TheQRCodeAndDeletingAskWithTheTitleAndTheCodeNeedsTheSecret) {
    const Account account = addAccount("ACME Co", "alice");
    run(model.reload());
    AccountsView view(model);
    view.confirm = answer;
    confirmed = false;
    run(view.showQRCode(account));
    EXPECT_FALSE(view.sheet());
    confirmed = true;
    secretStore->failRead = true;
    run(view.showQRCode(account));
    EXPECT_FALSE(view.sheet());
    EXPECT_TRUE(view.errorLabel()->text().isEmpty());
    secretStore->failRead = false;
    run(view.showQRCode(account));
    auto* sheet = qobject_cast<QRCodeSheet*>(view.sheet());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->code().title, "ACME Co · alice");
    EXPECT_EQ(sheet->image()->pixmap().size(), QSize(240, 240));
    sheet->close();

    run(view.deleteAccount(account));
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0].title, "Show the QR code of “ACME Co · alice”?");
    EXPECT_EQ(asked[0].confirmButton, Texts::text("Show QR Code"));
    EXPECT_EQ(asked[3].title, "Delete account “ACME Co · alice”?");
    EXPECT_EQ(asked[3].confirmButton, Texts::text("Delete"));
    EXPECT_TRUE(asked[3].message.contains("keyring")); // no keychain on this system
    EXPECT_TRUE(model.accounts().empty());
    EXPECT_TRUE(view.emptyLabel()->isVisibleTo(&view));
}

TEST_F(AccountsViewTest, ShowingTheScreenLoadsItAndTheRowMenuMovesTheAccount) {
    const AccountGroup work = addGroup("Work");
    const Account account = addAccount("ACME Co", "alice");
    AccountsView view(model);
    QSignalSpy loaded(&model, &AccountsModel::changed);
    view.show();
    ASSERT_TRUE(!loaded.isEmpty() || loaded.wait(10'000)); // may be done before the wait
    ASSERT_EQ(sections(view).back().second, QStringList{"ACME Co · alice"});

    std::unique_ptr<QMenu> menu(view.makeContextMenu(model.accounts().front(), &view));
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << action->text();
    }
    EXPECT_EQ(texts, (QStringList{"Move to Group", "Edit…", "Show QR Code…", "Recovery Codes…", "",
                                  "Delete…"}));
    const QList<QAction*> choices = menu->actions().front()->menu()->actions();
    ASSERT_EQ(choices.size(), 2);
    EXPECT_EQ(choices[0]->text(), Texts::text("No Group"));
    EXPECT_TRUE(choices[0]->isChecked());
    QSignalSpy moved(&model, &AccountsModel::changed);
    choices[1]->trigger();
    ASSERT_TRUE(!moved.isEmpty() || moved.wait(10'000));
    EXPECT_EQ(accountStore->load()->front().groupID, work.id);
    EXPECT_EQ(changes, 1);
}

TEST_F(AccountsViewTest, RecoveryCodesCountCopyConcealedSaveAndStayReadOnlyWhenUnreadable) {
    const Account account = addAccount("ACME Co", "alice");
    {
        RecoveryCodesSheet sheet(model, account);
        run(sheet.load());
        ASSERT_TRUE(sheet.loaded());
        sheet.editor()->setPlainText("A1\n\n  B2\nA1\na1");
        EXPECT_EQ(sheet.count()->text(), "Codes: 3");
        sheet.editor()->selectAll();
        sheet.editor()->copy();
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        ASSERT_TRUE(copied);
        EXPECT_EQ(copied->text(), "A1\n\n  B2\nA1\na1");
        EXPECT_EQ(copied->data("x-kde-passwordManagerHint"), "secret");
        QGuiApplication::clipboard()->clear();
        EXPECT_TRUE(run(sheet.saveCodes()));
    }
    EXPECT_EQ(recoveryStore->codes(account.id), (std::vector<std::string>{"A1", "B2", "a1"}));

    recoveryStore->failRead = true;
    RecoveryCodesSheet sheet(model, account);
    run(sheet.load());
    EXPECT_FALSE(sheet.loaded());
    EXPECT_FALSE(sheet.editor()->isEnabled());
    EXPECT_FALSE(sheet.saveButton()->isEnabled());
    EXPECT_TRUE(sheet.editor()->toPlainText().isEmpty());
    EXPECT_EQ(model.errorMessage(), Texts::text("Keychain access error"));
}

} // namespace
} // namespace zemlar
