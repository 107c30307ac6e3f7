// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreDoubles.hpp"

#include <fstream>
#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

struct AccountFlowsFixture : ::testing::Test {
    ScratchFolder scratch;
    FileAccountStore files{scratch.path / "Zemlar" / "accounts.json"};
    FaultyAccountStore accounts{files};
    MapSecretStore secrets;

    OTPAuthEntry entry(std::string issuer = "Example") const {
        return OTPAuthEntry(std::move(issuer), "alice", bytesOf("secret!"),
                            OTPParameters::standard());
    }
    Accounts stored() { return files.load().value(); }
    Result<Accounts, AccountFlowError> add(const UUID& id, std::string issuer = "Example") {
        return AccountFlows::add(entry(std::move(issuer)), id, Date(100.0), accounts, secrets);
    }
};

const UUID first = uuidNumber(1);
const UUID second = uuidNumber(2);
const UUID group = uuidNumber(50);

} // namespace

TEST_F(AccountFlowsFixture, AddWritesTheSecretAndThenTheListAndRefusesATakenIdentifier) {
    const auto list = add(first);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(*list, Accounts{entry().account(first, Date(100.0))});
    EXPECT_EQ(stored(), *list);
    EXPECT_EQ(secrets.secrets, (SecretMap{{first, bytesOf("secret!")}}));

    secrets.secrets.clear();
    EXPECT_EQ(add(first, "Other").error(), AccountFlowError::list(AccountListError::duplicateID()));
    EXPECT_TRUE(secrets.secrets.empty());
    EXPECT_EQ(accounts.saves, 1);
}

TEST_F(AccountFlowsFixture, AFailedListSaveRemovesTheNewSecretAgain) {
    ASSERT_TRUE(add(first));
    accounts.failSave = 2;
    EXPECT_EQ(add(second).error(), AccountFlowError::accounts(AccountStoreError::writeFailed()));
    EXPECT_EQ(secrets.secrets.size(), 1u);
    EXPECT_FALSE(secrets.secrets.contains(second));
    EXPECT_EQ(stored().size(), 1u);
}

TEST_F(AccountFlowsFixture, AFailedSecretWriteSavesNoList) {
    secrets.failAdd = 1;
    EXPECT_EQ(add(first).error(), AccountFlowError::secrets(SecretStoreError::keychain(-1)));
    EXPECT_EQ(accounts.saves, 0);
    EXPECT_FALSE(std::filesystem::exists(files.fileURL));
}

TEST_F(AccountFlowsFixture, AnAccountFileThatDoesNotDecodeIsReportedAndKept) {
    std::filesystem::create_directories(files.fileURL.parent_path());
    std::ofstream(files.fileURL) << R"({"version": 2})";
    const AccountFlowError corrupted = AccountFlowError::accounts(
        AccountStoreError::corrupted(AccountsCodecError::unsupportedVersion(2)));
    EXPECT_EQ(add(first).error(), corrupted);
    EXPECT_EQ(AccountFlows::remove(first, accounts, secrets).error(), corrupted);
    EXPECT_EQ(AccountFlows::rename(first, "a", "b", accounts).error(), corrupted);
    EXPECT_EQ(AccountFlows::recordUse(first, Date(5.0), accounts).error(), corrupted);
    EXPECT_EQ(accounts.saves, 0);
    EXPECT_TRUE(secrets.secrets.empty());
}

TEST_F(AccountFlowsFixture, DeleteRemovesSecretThenAccountAndToleratesAnAccountAlreadyGone) {
    ASSERT_TRUE(add(first));
    ASSERT_TRUE(add(second));
    const auto list = AccountFlows::remove(first, accounts, secrets);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(*list, Accounts{entry().account(second, Date(100.0))});
    EXPECT_EQ(stored(), *list);
    EXPECT_FALSE(secrets.secrets.contains(first));

    secrets.secrets[first] = bytesOf("orphan");
    const auto again = AccountFlows::remove(first, accounts, secrets);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(*again, *list);
    EXPECT_FALSE(secrets.secrets.contains(first));
    EXPECT_EQ(accounts.saves, 4);
}

TEST_F(AccountFlowsFixture, AFailedDeletionKeepsTheAccountInTheList) {
    ASSERT_TRUE(add(first));
    secrets.failRemove = true;
    EXPECT_EQ(AccountFlows::remove(first, accounts, secrets).error(),
              AccountFlowError::secrets(SecretStoreError::keychain(-3)));
    EXPECT_EQ(accounts.saves, 1);
    EXPECT_TRUE(secrets.secrets.contains(first));

    secrets.failRemove = false;
    accounts.failSave = 2;
    EXPECT_EQ(AccountFlows::remove(first, accounts, secrets).error(),
              AccountFlowError::accounts(AccountStoreError::writeFailed()));
    EXPECT_EQ(stored().size(), 1u) << "kept, even though its secret is gone";
    EXPECT_TRUE(secrets.secrets.empty());
}

TEST_F(AccountFlowsFixture, EditChangesEverythingOrNothing) {
    ASSERT_TRUE(add(first));
    ASSERT_TRUE(AccountFlows::edit(first, "  New ", "bob", {"example.com"}, group, true, accounts));
    Account edited = stored().front();
    EXPECT_EQ(edited.issuer, "New");
    EXPECT_EQ(edited.name, "bob");
    EXPECT_EQ(edited.domains, std::vector<std::string>{"example.com"});
    EXPECT_EQ(edited.groupID, group);
    EXPECT_TRUE(edited.pressesReturn);

    ASSERT_TRUE(AccountFlows::edit(first, "New", "bob", {}, std::nullopt, std::nullopt, accounts));
    edited = stored().front();
    EXPECT_EQ(edited.groupID, std::nullopt) << "no group moves it to No Group";
    EXPECT_TRUE(edited.pressesReturn) << "an absent pressesReturn keeps the value";

    const int saves = accounts.saves;
    EXPECT_EQ(AccountFlows::edit(first, " ", "", {"x"}, group, false, accounts).error(),
              AccountFlowError::list(AccountListError::emptyTitle()));
    EXPECT_EQ(AccountFlows::edit(second, "a", "b", {}, group, false, accounts).error(),
              AccountFlowError::list(AccountListError::notFound()));
    EXPECT_EQ(accounts.saves, saves);
    EXPECT_EQ(stored().front(), edited);
}

TEST_F(AccountFlowsFixture, RenameSetGroupAndRecordUseUpdateTheSavedList) {
    ASSERT_TRUE(add(first));
    EXPECT_EQ(AccountFlows::rename(first, "Renamed", "n", accounts).value().front().issuer,
              "Renamed");
    EXPECT_EQ(AccountFlows::setGroup(first, group, accounts).value().front().groupID, group);
    const auto used = AccountFlows::recordUse(first, Date(500.0), accounts);
    ASSERT_TRUE(used.has_value());
    EXPECT_EQ(used->front().useCount, 1);
    EXPECT_EQ(used->front().lastUsedAt, Date(500.0));
    EXPECT_EQ(stored(), *used);
    accounts.failSave = accounts.saves + 1;
    EXPECT_EQ(AccountFlows::recordUse(first, Date(600.0), accounts).error(),
              AccountFlowError::accounts(AccountStoreError::writeFailed()));
    EXPECT_EQ(stored(), *used);
}
