// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppDoubles.hpp"
#include "PanelModel.hpp"

#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

namespace zemlar {
namespace {

using testing::account;
using testing::uuid;

class PanelModelTest : public ::testing::Test {
protected:
    PanelModel makeModel() {
        return PanelModel(stores.environment(), [this] { return now; });
    }
    static void openModel(PanelModel& model, std::optional<std::string> host = std::nullopt) {
        QCoro::Task<> opening = model.open();
        model.setHost(model.openCount, std::move(host));
        QCoro::waitFor(std::move(opening));
    }
    static std::vector<UUID> ids(const PanelModel& model) {
        std::vector<UUID> result;
        for (std::size_t row = 0; row < model.resultCount(); ++row) {
            result.push_back(model.result(row).id);
        }
        return result;
    }

    testing::Stores stores;
    Date now{59};
};

TEST_F(PanelModelTest, OpeningLoadsListsAndSecretsAndSelectsTheFirstResult) {
    stores.accounts->accounts = {account(1, "GitHub"), account(2, "Amazon", "me", 5)};
    stores.groups->groups = {AccountGroup{.id = uuid(9), .name = "Work"}};
    stores.secrets->secrets[uuid(1)] = testing::rfcSecret();
    auto model = makeModel();
    openModel(model, "example.org");

    EXPECT_EQ(model.openCount, 1);
    EXPECT_EQ(model.openedAt, Date(59));
    EXPECT_EQ(model.host, "example.org");
    EXPECT_FALSE(model.loadFailed);
    EXPECT_EQ(model.groups.size(), 1u);
    EXPECT_EQ(ids(model), (std::vector{uuid(2), uuid(1)})); // the used one first
    EXPECT_EQ(model.selectedID, uuid(2));
    EXPECT_EQ(model.selected()->issuer, "Amazon");
    EXPECT_EQ(stores.secrets->readAlls, 1);

    model.setQuery("gi");
    model.setWaitingUntil(Date(100));
    openModel(model, "github.com"); // the site of the front tab ranks before frecency
    EXPECT_EQ(model.openCount, 2);
    EXPECT_EQ(model.query, ""); // every opening starts afresh
    EXPECT_FALSE(model.waitingUntil);
    EXPECT_EQ(model.selectedID, uuid(1));
    openModel(model);
    EXPECT_EQ(model.selectedID, uuid(2));
}

TEST_F(PanelModelTest, AnUnreadableAccountListMarksTheFailureAndOtherFailuresCountAsEmpty) {
    stores.accounts->accounts = {account(1, "GitHub")};
    stores.accounts->failLoad = true;
    auto model = makeModel();
    openModel(model);
    EXPECT_TRUE(model.loadFailed);
    EXPECT_TRUE(model.accounts.empty());
    EXPECT_FALSE(model.selectedID);

    stores.accounts->failLoad = false;
    stores.groups->failLoad = true;
    stores.secrets->failRead = true;
    stores.groups->groups = {AccountGroup{.id = uuid(9), .name = "Work"}};
    stores.secrets->secrets[uuid(1)] = testing::rfcSecret();
    openModel(model);
    EXPECT_FALSE(model.loadFailed);
    EXPECT_EQ(model.accounts.size(), 1u);
    EXPECT_TRUE(model.groups.empty());
    EXPECT_TRUE(model.secrets.empty());
    EXPECT_EQ(model.code(model.accounts[0], Date(59)), std::nullopt);
}

TEST_F(PanelModelTest, EveryQueryChangeSelectsTheBestMatchUnlessADeliveryWaits) {
    stores.accounts->accounts = {account(1, "GitHub"), account(2, "GitLab"), account(3, "Amazon")};
    auto model = makeModel();
    openModel(model);
    model.setWaitingUntil(Date(60));
    model.setQuery("git"); // frozen while waiting
    EXPECT_EQ(model.query, "");
    EXPECT_EQ(model.selectedID, uuid(3));
    model.setWaitingUntil(std::nullopt);

    model.setQuery("git");
    EXPECT_EQ(ids(model), (std::vector{uuid(1), uuid(2)}));
    model.moveSelection(1);
    EXPECT_EQ(model.selectedID, uuid(2));
    model.setQuery("git"); // the same query keeps a moved selection
    EXPECT_EQ(model.selectedID, uuid(2));
    model.setQuery("gitl"); // the selected row stays the best match, and is selected again
    EXPECT_EQ(model.selectedID, uuid(2));
    model.setQuery("ama"); // the selected row dropped out
    EXPECT_EQ(model.selectedID, uuid(3));
    model.setQuery("nothing like it");
    EXPECT_EQ(model.resultCount(), 0u);
    EXPECT_FALSE(model.selectedID);
    EXPECT_FALSE(model.selected());
}

TEST_F(PanelModelTest, SelectionMovesWithoutWrappingAround) {
    stores.accounts->accounts = {account(1, "A"), account(2, "B"), account(3, "C")};
    auto model = makeModel();
    model.moveSelection(1); // nothing loaded: nothing happens
    EXPECT_FALSE(model.selectedID);
    openModel(model);
    const std::pair<int, int> moves[] = {{-1, 1}, {1, 2}, {1, 3}, {1, 3}, {-10, 1}, {10, 3}};
    for (const auto& [by, row] : moves) {
        model.moveSelection(by);
        EXPECT_EQ(model.selectedID, uuid(row)) << by;
    }
    model.select(uuid(77)); // an unknown selection moves from the first row
    model.moveSelection(1);
    EXPECT_EQ(model.selectedID, uuid(2));
}

TEST_F(PanelModelTest, CodesComeFromTheHeldSecretsAtTheGivenMoment) {
    stores.accounts->accounts = {account(1, "RFC"), account(2, "Other")};
    stores.secrets->secrets[uuid(1)] = testing::rfcSecret();
    auto model = makeModel();
    openModel(model);
    EXPECT_EQ(model.code(model.accounts[0], Date(1111111109)), "081804"); // RFC 6238, SHA-1
    EXPECT_EQ(model.code(model.accounts[1], Date(59)), std::nullopt);
}

TEST_F(PanelModelTest, ClosingForgetsSecretsEvenLateOnesQueryWaitAndHostButKeepsTheLists) {
    stores.accounts->accounts = {account(1, "GitHub")};
    stores.secrets->secrets[uuid(1)] = testing::rfcSecret();
    auto model = makeModel();
    openModel(model, "github.com");
    model.setQuery("g");
    model.setWaitingUntil(Date(80));
    model.clearForClosing();
    EXPECT_TRUE(model.secrets.empty());
    EXPECT_EQ(model.query, "");
    EXPECT_FALSE(model.waitingUntil);
    EXPECT_FALSE(model.host);
    EXPECT_EQ(model.accounts.size(), 1u);

    QCoro::Task<> opening = model.open();
    model.clearForClosing(); // before the secrets arrive
    QCoro::waitFor(std::move(opening));
    EXPECT_TRUE(model.secrets.empty());
}

} // namespace
} // namespace zemlar
