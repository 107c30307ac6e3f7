// SPDX-License-Identifier: GPL-3.0-or-later
// The accounts screen over real list files in a temporary folder and a vault in memory, with
// switches that make a store fail: the model, then the view and its sheets.
#include "AccountEdit.hpp"
#include "AccountsModel.hpp"
#include "AccountsView.hpp"
#include "AppDoubles.hpp"
#include "AppEnvironment.hpp"
#include "EditSheet.hpp"
#include "GroupRow.hpp"
#include "GroupsSheet.hpp"
#include "QRCodeSheet.hpp"
#include "RecoveryCodesSheet.hpp"

#include <OTPCore/OTPAuthURI.hpp>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <ZemlarKit/ZemlarKit.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <deque>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>

namespace zemlar::testing {

/// An account list that passes through to a real one unless told to fail to save.
class SwitchableAccountStore : public AccountStore {
public:
    explicit SwitchableAccountStore(std::shared_ptr<AccountStore> inner)
        : inner(std::move(inner)) {}
    Result<Accounts, AccountStoreError> load() override { return inner->load(); }
    Result<void, AccountStoreError> save(const Accounts& list) override {
        return failSave ? Result<void, AccountStoreError>(fail(*failSave)) : inner->save(list);
    }
    std::shared_ptr<AccountStore> inner;
    std::optional<AccountStoreError> failSave;
};

class SwitchableSecretStore : public VaultSecretStore {
public:
    using VaultSecretStore::VaultSecretStore;
    Result<Bytes, SecretStoreError> read(const UUID& id) override {
        return failRead ? Result<Bytes, SecretStoreError>(fail(SecretStoreError::keychain(-7)))
                        : VaultSecretStore::read(id);
    }
    Result<void, SecretStoreError> remove(const UUID& id) override {
        return failRemove ? Result<void, SecretStoreError>(fail(SecretStoreError::keychain(-7)))
                          : VaultSecretStore::remove(id);
    }
    bool failRead = false;
    bool failRemove = false;
};

class SwitchableRecoveryStore : public VaultRecoveryCodeStore {
public:
    using VaultRecoveryCodeStore::VaultRecoveryCodeStore;
    Result<RecoveryCodeMap, SecretStoreError> readAll() override {
        if (failRead) {
            return fail(SecretStoreError::invalidData());
        }
        return VaultRecoveryCodeStore::readAll();
    }
    Result<void, SecretStoreError> setCodes(const std::vector<std::string>& codes,
                                            const UUID& id) override {
        if (failWrite) {
            return fail(SecretStoreError::keychain(-7));
        }
        return VaultRecoveryCodeStore::setCodes(codes, id);
    }
    bool failRead = false;
    bool failWrite = false;
};

class AccountsScreenTest : public ::testing::Test {
public:
    std::filesystem::path file(const char* name) const {
        return std::filesystem::path(folder.path().toStdString()) / name;
    }
    void writeFile(const char* name, const std::string& contents) const {
        std::ofstream(file(name)) << contents;
    }
    AppEnvironment environment() const {
        return listEnvironment(accountStore, groupStore, secretStore, recoveryStore);
    }
    Account addAccount(std::string issuer, std::string name, Bytes secret = Bytes(20, 7)) {
        const OTPAuthEntry entry(std::move(issuer), std::move(name), std::move(secret),
                                 OTPParameters::standard());
        const UUID id = RandomBytes::uuid();
        EXPECT_TRUE(
            AccountFlows::add(entry, id, Date(1'700'000'000), *accountStore->inner, *secretStore));
        return entry.account(id, Date(1'700'000'000));
    }
    AccountGroup addGroup(const std::string& name) {
        const UUID id = RandomBytes::uuid();
        EXPECT_TRUE(GroupFlows::add(name, id, *groupStore));
        return AccountGroup{.id = id, .name = name};
    }
    static void run(QCoro::Task<> task) { QCoro::waitFor(std::move(task)); }
    template <class T> static T run(QCoro::Task<T> task) { return QCoro::waitFor(std::move(task)); }

    QTemporaryDir folder;
    std::shared_ptr<SecretVault> vault =
        std::make_shared<SecretVault>(std::make_unique<InMemoryVaultStorage>());
    std::shared_ptr<SwitchableAccountStore> accountStore = std::make_shared<SwitchableAccountStore>(
        std::make_shared<FileAccountStore>(file("accounts.json")));
    std::shared_ptr<FileGroupStore> groupStore =
        std::make_shared<FileGroupStore>(file("groups.json"));
    std::shared_ptr<SwitchableSecretStore> secretStore =
        std::make_shared<SwitchableSecretStore>(vault);
    std::shared_ptr<SwitchableRecoveryStore> recoveryStore =
        std::make_shared<SwitchableRecoveryStore>(vault);
    int changes = 0;
    /// The session lock's answers, in order (true when none are left), and how often it asked.
    std::deque<bool> unlockAnswers;
    int unlockRequests = 0;
    AccountsModel model{environment(), [this] { ++changes; }, [this] { return answerUnlock(); }};

private:
    QCoro::Task<bool> answerUnlock() {
        ++unlockRequests;
        bool answer = true;
        if (!unlockAnswers.empty()) {
            answer = unlockAnswers.front();
            unlockAnswers.pop_front();
        }
        co_return answer;
    }
};

} // namespace zemlar::testing

namespace zemlar {
namespace {

using testing::AccountsScreenTest;

class AccountsModelTest : public AccountsScreenTest {};

// One row per failure branch: edits, moves and every group change share one.
TEST_F(AccountsModelTest, EveryFailureShowsItsTextLeavesTheListsAndSkipsTheCallback) {
    using Act = std::function<void(AccountsModelTest&, const Account&)>;
    const std::pair<const char*, Act> cases[] = {
        {"The account list file is corrupted",
         [](auto& t, auto&) {
             t.writeFile("accounts.json", "{ not json");
             t.run(t.model.reload());
         }},
        {"The group list file is corrupted",
         [](auto& t, auto&) {
             t.writeFile("groups.json", "{ not json");
             t.run(t.model.reload());
         }},
        {"Couldn't save the changes",
         [](auto& t, auto& account) {
             t.accountStore->failSave = AccountStoreError::writeFailed();
             EXPECT_FALSE(t.run(t.model.edit(account.id, AccountEdit::of(account))));
         }},
        {"Keychain access error",
         [](auto& t, auto& account) {
             t.secretStore->failRemove = true;
             t.run(t.model.remove(account.id));
         }},
        {"Keychain access error",
         [](auto& t, auto& account) {
             t.recoveryStore->failRead = true;
             EXPECT_FALSE(t.run(t.model.recoveryCodes(account)));
         }},
        {"Keychain access error",
         [](auto& t, auto& account) {
             t.recoveryStore->failWrite = true;
             EXPECT_FALSE(t.run(t.model.setRecoveryCodes("A1", account)));
         }},
    };
    const Account account = addAccount("ACME Co", "alice");
    addGroup("Work");
    run(model.reload());
    const Accounts accounts = model.accounts();
    const Groups groups = model.groups();
    for (const auto& [text, act] : cases) {
        SCOPED_TRACE(text);
        act(*this, account);
        EXPECT_EQ(model.errorMessage(), Texts::text(text));
        EXPECT_EQ(model.accounts(), accounts);
        EXPECT_EQ(model.groups(), groups);
        EXPECT_EQ(changes, 0);
        // Undo the failure; the next success clears the text.
        accountStore->failSave = std::nullopt;
        secretStore->failRemove = false;
        recoveryStore->failRead = recoveryStore->failWrite = false;
        ASSERT_TRUE(accountStore->inner->save(accounts));
        ASSERT_TRUE(groupStore->save(groups));
        run(model.reload());
        EXPECT_FALSE(model.errorMessage());
    }
}

// The flows' texts the rows above and the sheets' tests below do not reach.
TEST(AccountsModelTexts, EachFlowErrorKindPicksItsText) {
    const auto corrupted = AccountStoreError::corrupted(AccountsCodecError::malformed());
    EXPECT_EQ(AccountFlows::userText(AccountFlowError::list(AccountListError::emptyTitle())),
              "Enter an issuer or a name");
    EXPECT_EQ(GroupFlows::userText(GroupFlowError::groups(AccountStoreError::writeFailed())),
              "Couldn't save the changes");
    EXPECT_EQ(GroupFlows::userText(GroupFlowError::accounts(corrupted)),
              "The account list file is corrupted");
    EXPECT_EQ(GroupFlows::userText(GroupFlowError::list(GroupListError::emptyName())),
              "Enter a group name");
    EXPECT_EQ(GroupFlows::userText(GroupFlowError::list(GroupListError::notFound())),
              "The group has already been deleted");
}

TEST_F(AccountsModelTest, EverySuccessfulChangeCallsBackOnceAndAReloadDoesNot) {
    const Account account = addAccount("ACME Co", "alice");
    run(model.reload());
    EXPECT_EQ(changes, 0);

    ASSERT_TRUE(run(model.addGroup("Work")));
    const UUID work = model.groups().front().id;
    ASSERT_TRUE(run(model.edit(account.id, AccountEdit{.issuer = "ACME",
                                                       .name = "alice",
                                                       .sites = "acme.com, https://www.acme.org/x",
                                                       .groupID = work,
                                                       .pressesReturn = true})));
    EXPECT_EQ(model.accounts().front().domains, (std::vector<std::string>{"acme.com", "acme.org"}));
    EXPECT_EQ(accountStore->load()->front().groupID, work);
    run(model.move(account.id, std::nullopt));
    EXPECT_FALSE(model.accounts().front().groupID);
    ASSERT_TRUE(run(model.renameGroup(work, "Office")));
    ASSERT_TRUE(run(model.setRecoveryCodes("A1\r\nB2", account)));
    EXPECT_EQ(run(model.recoveryCodes(account)), "A1\nB2");
    run(model.removeGroup(work));
    run(model.remove(account.id));
    EXPECT_EQ(changes, 7);
    EXPECT_TRUE(model.accounts().empty());
    EXPECT_TRUE(model.groups().empty());
    EXPECT_FALSE(secretStore->read(account.id)); // the secret went with the account
}

TEST_F(AccountsModelTest, DeletingAnAccountSomeoneElseDeletedSaysSoAndShowsTheFreshList) {
    const Account gone = addAccount("ACME Co", "alice");
    const Account kept = addAccount("Example", "bob");
    run(model.reload());
    AccountsModel other(
        environment(), [] {}, testing::alwaysUnlocked);
    run(other.remove(gone.id));

    run(model.remove(gone.id));
    EXPECT_EQ(model.errorMessage(), Texts::text("The account has already been deleted"));
    EXPECT_EQ(model.accounts(), Accounts{kept});
    EXPECT_EQ(changes, 0);
}

TEST_F(AccountsModelTest, TheQRCodeAndTheRecoveryCodesShowOnlyOnceTheLockAgrees) {
    const Bytes secret = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const Account account = addAccount("ACME Co", "alice", secret);
    ASSERT_TRUE(run(model.setRecoveryCodes("A1", account)));
    unlockAnswers = {false, false};
    EXPECT_FALSE(run(model.qrCode(account)));
    EXPECT_FALSE(run(model.recoveryCodes(account)));
    EXPECT_FALSE(model.errorMessage());
    EXPECT_EQ(unlockRequests, 2);
    EXPECT_EQ(run(model.recoveryCodes(account)), "A1");
    const auto png = run(model.qrCode(account));
    ASSERT_TRUE(png);
    EXPECT_EQ(QRCodeReader::payloads(*png).value(),
              std::vector<std::string>{
                  OTPAuthURI::make("ACME Co", "alice", secret, OTPParameters::standard())});

    secretStore->failRead = true;
    EXPECT_FALSE(run(model.qrCode(account)));
    EXPECT_FALSE(model.errorMessage());
}

class AccountsViewTest : public testing::AccountsScreenTest {
protected:
    bool confirmed = true;
    std::vector<Confirmation> asked;
    Confirmation::Asker answer = [this](const Confirmation& question) {
        asked.push_back(question);
        return confirmed;
    };
};

TEST_F(AccountsViewTest, WithoutAccountsTheListSaysSoAndNothingCanBeDeleted) {
    AccountsView view(model);
    run(model.reload());
    EXPECT_TRUE(view.emptyLabel()->isVisibleTo(&view));
    EXPECT_FALSE(view.deleteButton()->isEnabled());
    const Account account = addAccount("ACME Co", "alice");
    run(model.reload());
    EXPECT_FALSE(view.emptyLabel()->isVisibleTo(&view));
    view.select(account.id);
    EXPECT_TRUE(view.deleteButton()->isEnabled());
}

TEST_F(AccountsViewTest, DeletingAGroupAsksAndMovesItsAccountsToNoGroup) {
    const AccountGroup work = addGroup("Work");
    const Account account = addAccount("ACME Co", "alice");
    run(model.reload());
    run(model.move(account.id, work.id));
    GroupsSheet sheet(model);
    sheet.confirm = answer;
    confirmed = false;
    run(sheet.deleteGroup(work));
    EXPECT_EQ(sheet.rows().size(), 1u);
    confirmed = true;
    run(sheet.deleteGroup(work));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].title, "Delete group “Work”?");
    EXPECT_TRUE(asked[1].destructive);
    EXPECT_TRUE(sheet.rows().empty());
    ASSERT_EQ(model.accounts().size(), 1u);
    EXPECT_FALSE(model.accounts().front().groupID);
}

TEST_F(AccountsViewTest, ARefusedGroupNameStaysInTheAddFieldAndGoesBackInTheRow) {
    const AccountGroup work = addGroup("Work");
    run(model.reload());
    GroupsSheet sheet(model);
    sheet.newGroupField()->setText("  ");
    EXPECT_FALSE(sheet.addButton()->isEnabled());
    sheet.newGroupField()->setText("work");
    EXPECT_FALSE(run(sheet.addGroup()));
    EXPECT_EQ(sheet.newGroupField()->text(), "work");
    EXPECT_EQ(sheet.errorLabel()->text(), Texts::text("A group with this name already exists"));
    sheet.newGroupField()->setText("Home");
    EXPECT_TRUE(run(sheet.addGroup()));
    EXPECT_FALSE(sheet.errorLabel()->isVisibleTo(&sheet));
    EXPECT_EQ(sheet.newGroupField()->text(), "");

    GroupRow row(model, work, 0);
    row.nameField()->setText(" ");
    EXPECT_FALSE(run(row.rename()));
    EXPECT_EQ(row.nameField()->text(), "Work");
    row.nameField()->setText(" Office ");
    EXPECT_TRUE(run(row.rename()));
    EXPECT_EQ(row.nameField()->text(), "Office");
}

TEST_F(AccountsViewTest, TheEditSheetSavesOnlyATitleAndStaysOpenWhenSavingFails) {
    const Account account = addAccount("ACME Co", "alice");
    run(model.reload());
    EditSheet sheet(model, account);
    sheet.findChild<QLineEdit*>("issuer")->setText(" \t");
    auto* name = sheet.findChild<QLineEdit*>("name");
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

TEST_F(AccountsViewTest, TheQRCodeAndDeletingHappenOnlyOnceConfirmed) {
    const Account account = addAccount("ACME Co", "alice");
    run(model.reload());
    AccountsView view(model);
    view.confirm = answer;
    confirmed = false;
    run(view.showQRCode(account));
    run(view.deleteAccount(account));
    EXPECT_FALSE(view.sheet());
    EXPECT_EQ(model.accounts().size(), 1u);
    confirmed = true;
    run(view.showQRCode(account));
    auto* sheet = qobject_cast<QRCodeSheet*>(view.sheet());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->code().title, "ACME Co · alice");
    sheet->close();

    run(view.deleteAccount(account));
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_TRUE(asked[3].destructive);
    EXPECT_TRUE(asked[3].message.contains("keyring")); // no keychain on this system
    EXPECT_TRUE(model.accounts().empty());
}

TEST_F(AccountsViewTest, ShowingTheScreenLoadsItAndTheRowMenuMovesTheAccount) {
    const AccountGroup work = addGroup("Work");
    addAccount("ACME Co", "alice");
    AccountsView view(model);
    QSignalSpy loaded(&model, &AccountsModel::changed);
    view.show();
    ASSERT_TRUE(!loaded.isEmpty() || loaded.wait(10'000)); // may be done before the wait
    ASSERT_EQ(model.accounts().size(), 1u);
    std::unique_ptr<QMenu> menu(view.makeContextMenu(model.accounts().front(), &view));
    const QList<QAction*> choices = menu->actions().front()->menu()->actions();
    ASSERT_EQ(choices.size(), 2); // No Group, then Work
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
}

} // namespace
} // namespace zemlar
