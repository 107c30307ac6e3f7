// SPDX-License-Identifier: GPL-3.0-or-later
// The accounts screen over real list files in a temporary folder and a vault in memory, with
// switches that make a store fail: the model, then the view and its sheets.
#include "AccountEdit.hpp"
#include "AccountsModel.hpp"
#include "AccountsView.hpp"
#include "AppDoubles.hpp"
#include "EditSheet.hpp"
#include "GroupRow.hpp"
#include "GroupsSheet.hpp"
#include "QRCodeSheet.hpp"
#include "RecoveryCodesSheet.hpp"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
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

class SwitchableRecoveryStore : public VaultRecoveryCodeStore {
public:
    using VaultRecoveryCodeStore::VaultRecoveryCodeStore;
    Result<RecoveryCodeMap, SecretStoreError> readAll() override {
        if (failRead) {
            return fail(SecretStoreError::invalidData());
        }
        return VaultRecoveryCodeStore::readAll();
    }
    bool failRead = false;
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
        return {.accountStore = accountStore,
                .groupStore = groupStore,
                .secretStore = secretStore,
                .keyStore = nullptr,
                .fileStore = nullptr,
                .takenStore = nullptr,
                .recoveryStore = recoveryStore};
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
    std::shared_ptr<VaultSecretStore> secretStore = std::make_shared<VaultSecretStore>(vault);
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
        {"Couldn't save the changes",
         [](auto& t, auto& account) {
             t.accountStore->failSave = AccountStoreError::writeFailed();
             EXPECT_FALSE(t.run(t.model.edit(account.id, AccountEdit::of(account))));
         }},
        {"Keychain access error",
         [](auto& t, auto& account) {
             t.recoveryStore->failRead = true;
             EXPECT_FALSE(t.run(t.model.recoveryCodes(account)));
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
        recoveryStore->failRead = false;
        ASSERT_TRUE(accountStore->inner->save(accounts));
        ASSERT_TRUE(groupStore->save(groups));
        run(model.reload());
        EXPECT_FALSE(model.errorMessage());
    }
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
    const Account account = addAccount("ACME Co", "alice");
    ASSERT_TRUE(run(model.setRecoveryCodes("A1", account)));
    unlockAnswers = {false, false};
    EXPECT_FALSE(run(model.qrCode(account)));
    EXPECT_FALSE(run(model.recoveryCodes(account)));
    EXPECT_FALSE(model.errorMessage());
    EXPECT_EQ(unlockRequests, 2);
    EXPECT_EQ(run(model.recoveryCodes(account)), "A1");
    EXPECT_TRUE(run(model.qrCode(account)));
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

// Moving the group's accounts to no group is the group flow's test.
TEST_F(AccountsViewTest, DeletingAGroupHappensOnlyOnceConfirmed) {
    const AccountGroup work = addGroup("Work");
    run(model.reload());
    GroupsSheet sheet(model);
    sheet.confirm = answer;
    confirmed = false;
    run(sheet.deleteGroup(work));
    EXPECT_EQ(sheet.rows().size(), 1u);
    confirmed = true;
    run(sheet.deleteGroup(work));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(asked[1].destructive);
    EXPECT_TRUE(sheet.rows().empty());
}

TEST_F(AccountsViewTest, TheEditSheetTrimsTheTitleAndStaysOpenWhenSavingFails) {
    const Account account = addAccount("ACME Co", "alice");
    run(model.reload());
    EditSheet sheet(model, account);
    sheet.findChild<QLineEdit*>("issuer")->setText(" \t");
    sheet.findChild<QLineEdit*>("name")->setText(" b");

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
    sheet->close();

    run(view.deleteAccount(account));
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_TRUE(asked[3].destructive);
    EXPECT_TRUE(model.accounts().empty());
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
}

} // namespace
} // namespace zemlar
