// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppDoubles.hpp"
#include "PanelTexts.hpp"

#include <ZemlarScreens/Texts.hpp>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

namespace zemlar {
namespace {

using testing::account;

TEST(PanelTexts, MessagesForEmptyResults) {
    testing::Stores stores;
    PanelModel model(stores.environment(), [] { return Date(0); });
    QCoro::waitFor(model.open());
    EXPECT_EQ(PanelTexts::message(model), "No accounts yet");

    stores.accounts->accounts = {account(1, "GitHub")};
    QCoro::waitFor(model.open());
    EXPECT_EQ(PanelTexts::message(model), std::nullopt);
    model.setQuery("xyz");
    EXPECT_EQ(PanelTexts::message(model), "Nothing found");

    stores.accounts->failLoad = true;
    QCoro::waitFor(model.open());
    EXPECT_EQ(PanelTexts::message(model), "Couldn't read the account list");
}

TEST(PanelTexts, FooterCountsWholeSecondsUpAndNeverBelowOne) {
    testing::Stores stores;
    PanelModel model(stores.environment(), [] { return Date(0); });
    EXPECT_EQ(PanelTexts::footer(model, Date(10)),
              "↩ type · ⇧↩ type and submit · Ctrl+↩ copy · esc close");
    model.setWaitingUntil(Date(12));
    EXPECT_EQ(PanelTexts::footer(model, Date(10.2)),
              "The code is about to expire, a new one in 2 s · esc to cancel");
    for (const auto& [at, seconds] : {std::pair{11.99, 1}, {12.5, 1}, {8.5, 4}, {10.0, 2}}) {
        EXPECT_EQ(PanelTexts::secondsUntil(Date(12), Date(at)), seconds) << at;
    }
}

TEST(PanelTexts, TheTitleIsTheIssuerOrElseTheName) {
    EXPECT_EQ(PanelTexts::title(account(1, "GitHub", "me")), "GitHub");
    EXPECT_EQ(PanelTexts::subtitle(account(1, "GitHub", "me")), "me");
    EXPECT_EQ(PanelTexts::title(account(1, "", "me")), "me");
    EXPECT_EQ(PanelTexts::subtitle(account(1, "", "me")), std::nullopt);
    EXPECT_EQ(PanelTexts::subtitle(account(1, "GitHub", "")), std::nullopt);
}

TEST(Texts, PlaceholdersAreFilledInOrderAndOnlyMacOSThingsReadDifferently) {
    EXPECT_EQ(Texts::fill("%lld of %@ (%lld)", {"3", "GitHub", "7"}), "3 of GitHub (7)");
    EXPECT_EQ(Texts::fill("%lld and %@", {"1"}), "1 and %@");
    EXPECT_EQ(Texts::fill("no placeholders", {"1"}), "no placeholders");
    EXPECT_EQ(Texts::fill("%ll%@%", {"x"}), "%llx%");
    EXPECT_EQ(Texts::fill("%@", {"%lld"}), "%lld"); // an argument is never filled again
    EXPECT_EQ(Texts::text("Require Touch ID to show codes"), "Require your password to show codes");
    EXPECT_EQ(Texts::text("iCloud Drive"), "the sync folder");
    EXPECT_EQ(Texts::text("Couldn't get the code"), "Couldn't get the code");
    EXPECT_FALSE(Texts::text("Turn on Zemlar in System Settings → Privacy & Security → "
                             "Accessibility. You can copy the code without this permission: ⌘↩.")
                     .contains("⌘"));
}

} // namespace
} // namespace zemlar
