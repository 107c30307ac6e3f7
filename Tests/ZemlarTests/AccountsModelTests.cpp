// SPDX-License-Identifier: GPL-3.0-or-later
#include "AccountsTesting.hpp"

#include <OTPCore/OTPAuthURI.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <functional>

namespace zemlar {
namespace {

using testing::AccountsScreenTest;

class AccountsModelTest : public AccountsScreenTest {};

AccountEdit titled(std::string issuer, std::string name) {
    return AccountEdit{.issuer = std::move(issuer),
                       .name = std::move(name),
                       .sites = "",
                       .groupID = std::nullopt,
                       .pressesReturn = false};
}

TEST_F(AccountsModelTest, EveryFailureShowsItsTextLeavesTheListsAndSkipsTheCallback) {
    struct Case {
        const char* text;
        std::function<void(AccountsModelTest&)> fail;
        std::function<void(AccountsModelTest&, const Account&, const AccountGroup&)> act;
    };
    const AccountStoreError writeFailed = AccountStoreError::writeFailed();
    const Case cases[] = {
        {"The account list file is corrupted",
         [](auto& t) { t.writeFile("accounts.json", "{ not json"); },
         [](auto& t, auto&, auto&) { t.run(t.model.reload()); }},
        {"The account list file is corrupted",
         [](auto& t) { t.writeFile("accounts.json", "{ not json"); },
         [](auto& t, auto&, auto& group) { t.run(t.model.removeGroup(group.id)); }},
        {"Couldn't save the changes", [&](auto& t) { t.accountStore->failSave = writeFailed; },
         [](auto& t, auto& account, auto&) {
             t.run(t.model.edit(account.id, AccountEdit::of(account)));
         }},
        {"Couldn't save the changes",
         [](auto& t) { t.accountStore->failLoad = AccountStoreError::readFailed(); },
         [](auto& t, auto& account, auto&) { t.run(t.model.move(account.id, std::nullopt)); }},
        {"Keychain access error", [](auto& t) { t.secretStore->failRemove = true; },
         [](auto& t, auto& account, auto&) { t.run(t.model.remove(account.id)); }},
        {"Keychain access error", [](auto& t) { t.recoveryStore->failRead = true; },
         [](auto& t, auto& account, auto&) {
             EXPECT_FALSE(t.run(t.model.recoveryCodes(account)));
         }},
        {"Keychain access error", [](auto& t) { t.recoveryStore->failWrite = true; },
         [](auto& t, auto& account, auto&) {
             EXPECT_FALSE(t.run(t.model.setRecoveryCodes("A1", account)));
         }},
        {"The account has already been deleted", [](auto&) {},
         [](auto& t, auto&, auto&) {
             EXPECT_FALSE(t.run(t.model.edit(RandomBytes::uuid(), titled("X", ""))));
         }},
        {"Enter an issuer or a name", [](auto&) {},
         [](auto& t, auto& account, auto&) {
             EXPECT_FALSE(t.run(t.model.edit(account.id, titled(" ", "\n"))));
         }},
        {"The group list file is corrupted",
         [](auto& t) { t.writeFile("groups.json", "{ not json"); },
         [](auto& t, auto&, auto&) { t.run(t.model.reload()); }},
        {"Couldn't save the changes", [&](auto& t) { t.groupStore->failSave = writeFailed; },
         [](auto& t, auto&, auto&) { EXPECT_FALSE(t.run(t.model.addGroup("Home"))); }},
        {"Enter a group name", [](auto&) {},
         [](auto& t, auto&, auto& group) {
             EXPECT_FALSE(t.run(t.model.renameGroup(group.id, "  ")));
         }},
        {"A group with this name already exists", [](auto&) {},
         [](auto& t, auto&, auto&) { EXPECT_FALSE(t.run(t.model.addGroup(" work "))); }},
        {"The group has already been deleted", [](auto&) {},
         [](auto& t, auto&, auto&) {
             EXPECT_FALSE(t.run(t.model.renameGroup(RandomBytes::uuid(), "Home")));
         }},
    };
    const Account account = addAccount("ACME Co", "alice");
    const AccountGroup group = addGroup("Work");
    run(model.reload());
    const Accounts accounts = model.accounts();
    const Groups groups = model.groups();
    for (const auto& each : cases) {
        SCOPED_TRACE(each.text);
        each.fail(*this);
        each.act(*this, account, group);
        EXPECT_EQ(model.errorMessage(), Texts::text(each.text));
        EXPECT_EQ(model.accounts(), accounts);
        EXPECT_EQ(model.groups(), groups);
        EXPECT_EQ(changes, 0);
        // Undo the failure; the next success clears the text.
        accountStore->failLoad = accountStore->failSave = std::nullopt;
        groupStore->failSave = std::nullopt;
        secretStore->failRemove = false;
        recoveryStore->failRead = recoveryStore->failWrite = false;
        ASSERT_TRUE(accountStore->inner->save(accounts));
        ASSERT_TRUE(groupStore->inner->save(groups));
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
    EXPECT_EQ(accountStore->load()->front().groupID, work);
    EXPECT_EQ(AccountEdit::of(model.accounts().front()).sites, "acme.com, acme.org");
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
    EXPECT_TRUE(run(model.qrCode(account)));
    EXPECT_EQ(run(model.recoveryCodes(account)), "A1");
}

TEST_F(AccountsModelTest, TheQRCodeCarriesTheLinkOfTheAccount) {
    const Bytes secret = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const Account account = addAccount("ACME Co", "alice", secret);
    const auto png = run(model.qrCode(account));
    ASSERT_TRUE(png);
    const auto payloads = QRCodeReader::payloads(*png);
    ASSERT_TRUE(payloads);
    const std::string link =
        OTPAuthURI::make("ACME Co", "alice", secret, OTPParameters::standard());
    EXPECT_EQ(*payloads, std::vector<std::string>{link});

    secretStore->failRead = true;
    EXPECT_FALSE(run(model.qrCode(account)));
    EXPECT_FALSE(model.errorMessage());
}

} // namespace
} // namespace zemlar
