// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreDoubles.hpp"

#include <fstream>
#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

const UUID first = uuidNumber(1);
const UUID second = uuidNumber(2);
const UUID group = uuidNumber(50);

struct AccountFlowsFixture : ::testing::Test {
    ScratchFolder scratch;
    FileAccountStore files{scratch.path / "Zemlar" / "accounts.json"};
    FaultyAccountStore accounts{files};
    MapSecretStore secrets;

    static OTPAuthEntry entry(std::string issuer = "Example") {
        return OTPAuthEntry(std::move(issuer), "alice", bytesOf("secret!"),
                            OTPParameters::standard());
    }
    Accounts stored() { return files.load().value(); }
    Result<Accounts, AccountFlowError> add(const UUID& id, std::string issuer = "Example") {
        return AccountFlows::add(entry(std::move(issuer)), id, Date(100.0), accounts, secrets);
    }
};

} // namespace

TEST_F(AccountFlowsFixture, AddWritesTheSecretThenTheListAndRollsBackEitherFailure) {
    secrets.failAdd = 1;
    EXPECT_EQ(add(first).error(), AccountFlowError::secrets(SecretStoreError::keychain(-1)));
    EXPECT_EQ(accounts.saves, 0);
    EXPECT_FALSE(std::filesystem::exists(files.fileURL));
    secrets.failAdd.reset();

    const auto list = add(first);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(*list, Accounts{entry().account(first, Date(100.0))});
    EXPECT_EQ(stored(), *list);
    EXPECT_EQ(secrets.secrets, (SecretMap{{first, bytesOf("secret!")}}));

    accounts.failSave = 2;
    EXPECT_EQ(add(second).error(), AccountFlowError::accounts(AccountStoreError::writeFailed()));
    EXPECT_EQ(secrets.secrets.size(), 1u) << "the new secret is removed again";
    EXPECT_EQ(stored().size(), 1u);

    secrets.secrets.clear();
    EXPECT_EQ(add(first, "Other").error(), AccountFlowError::list(AccountListError::duplicateID()));
    EXPECT_TRUE(secrets.secrets.empty());
}

TEST_F(AccountFlowsFixture, AnAccountFileThatDoesNotDecodeIsReportedAndKept) {
    std::filesystem::create_directories(files.fileURL.parent_path());
    std::ofstream(files.fileURL) << R"({"version": 2})";
    const AccountFlowError corrupted = AccountFlowError::accounts(
        AccountStoreError::corrupted(AccountsCodecError::unsupportedVersion(2)));
    EXPECT_EQ(add(first).error(), corrupted);
    EXPECT_EQ(AccountFlows::remove(first, accounts, secrets).error(), corrupted);
    EXPECT_EQ(AccountFlows::rename(first, "a", "b", accounts).error(), corrupted);
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
    EXPECT_EQ(AccountFlows::remove(first, accounts, secrets), *list);
    EXPECT_FALSE(secrets.secrets.contains(first));
}

TEST_F(AccountFlowsFixture, AFailedDeletionKeepsTheAccountInTheList) {
    ASSERT_TRUE(add(first));
    secrets.failRemove = true;
    EXPECT_EQ(AccountFlows::remove(first, accounts, secrets).error(),
              AccountFlowError::secrets(SecretStoreError::keychain(-3)));
    EXPECT_EQ(accounts.saves, 1);
    EXPECT_TRUE(secrets.secrets.contains(first));
}

TEST_F(AccountFlowsFixture, EditChangesEverythingOrNothing) {
    ASSERT_TRUE(add(first));
    ASSERT_TRUE(AccountFlows::edit(first, "  New ", "bob", {"example.com"}, group, true, accounts));
    Account edited = stored().front();
    EXPECT_EQ(std::tie(edited.issuer, edited.name, edited.groupID, edited.pressesReturn),
              std::make_tuple("New", "bob", std::optional(group), true));
    EXPECT_EQ(edited.domains, std::vector<std::string>{"example.com"});

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
}
