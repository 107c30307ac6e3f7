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

KeyboardShortcuts::Name togglePanel() {
    return KeyboardShortcuts::Name(QStringLiteral("togglePanel"));
}

class SettingsViewTest : public FreshSettings {
protected:
    FakeDeviceAuthentication authentication;
    SessionLock lock{authentication, noBus(), noBus()};
    SettingsNavigation navigation;
};

TEST_F(SettingsViewTest, TheWindowHasItsTitleAndTheFourTabsInOrder) {
    SettingsWindow window(navigation, lock, togglePanel());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Zemlar Settings"));
    SettingsView& view = *window.view();
    ASSERT_EQ(view.count(), 4);
    EXPECT_EQ(view.tabText(0), QStringLiteral("Accounts"));
    EXPECT_EQ(view.tabText(1), QStringLiteral("Import"));
    EXPECT_EQ(view.tabText(2), QStringLiteral("Backup"));
    EXPECT_EQ(view.tabText(3), QStringLiteral("General"));
    EXPECT_EQ(view.widget(3), view.general());
    EXPECT_EQ(view.size(), QSize(540, 480));
}

TEST_F(SettingsViewTest, OpensOnTheAccountsTabAndFollowsTheNavigation) {
    SettingsView view(navigation, lock, togglePanel());
    EXPECT_EQ(view.currentIndex(), 0);
    navigation.setTab(SettingsTab::general);
    EXPECT_EQ(view.currentIndex(), 3);
    view.setCurrentIndex(2);
    EXPECT_EQ(navigation.tab(), SettingsTab::backup);
}

TEST_F(SettingsViewTest, ScreensArriveInTheirTabsKeepingLabelAndSelection) {
    SettingsView view(navigation, lock, togglePanel());
    navigation.setTab(SettingsTab::importing);
    auto* importScreen = new QWidget();
    view.setScreen(SettingsTab::importing, importScreen);
    EXPECT_EQ(view.screen(SettingsTab::importing), importScreen);
    EXPECT_EQ(view.tabText(1), QStringLiteral("Import"));
    EXPECT_EQ(view.currentIndex(), 1);
    EXPECT_EQ(navigation.tab(), SettingsTab::importing);
    EXPECT_EQ(view.count(), 4);
}

} // namespace
