// SPDX-License-Identifier: GPL-3.0-or-later
#include "Support.hpp"

#include <KeyboardShortcuts/Shortcut.hpp>
#include <QTabBar>
#include <ZemlarScreens/GeneralSettingsView.hpp>
#include <ZemlarScreens/SessionLock.hpp>
#include <ZemlarScreens/SettingsView.hpp>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

class SettingsViewTest : public FreshSettings {
protected:
    FakeDeviceAuthentication authentication;
    SessionLock lock{authentication, noBus(), noBus()};
    SettingsNavigation navigation;
    KeyboardShortcuts::Name togglePanel{QStringLiteral("togglePanel")};
};

TEST_F(SettingsViewTest, TheWindowHasItsTitleAndTheFourTabsInOrder) {
    SettingsWindow window(navigation, lock, togglePanel);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Zemlar Settings"));
    SettingsView& view = *window.view();
    QStringList tabs;
    for (int index = 0; index < view.count(); ++index) {
        tabs << view.tabText(index);
    }
    EXPECT_EQ(tabs, (QStringList{"Accounts", "Import", "Backup", "General"}));
    EXPECT_EQ(view.widget(3), view.general());
}

TEST_F(SettingsViewTest, OpensOnTheAccountsTabFollowsTheNavigationAndTakesScreens) {
    SettingsView view(navigation, lock, togglePanel);
    EXPECT_EQ(view.currentIndex(), 0);
    navigation.setTab(SettingsTab::general);
    EXPECT_EQ(view.currentIndex(), 3);
    view.setCurrentIndex(2);
    EXPECT_EQ(navigation.tab(), SettingsTab::backup);

    navigation.setTab(SettingsTab::importing);
    auto* importScreen = new QWidget();
    view.setScreen(SettingsTab::importing, importScreen);
    EXPECT_EQ(view.screen(SettingsTab::importing), importScreen);
    EXPECT_EQ(view.tabText(1), QStringLiteral("Import"));
    EXPECT_EQ(view.currentIndex(), 1);
    EXPECT_EQ(view.count(), 4);
}

} // namespace
