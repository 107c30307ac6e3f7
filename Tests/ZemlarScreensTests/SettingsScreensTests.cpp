// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window and its General tab, the autostart entry behind its login switch, the
// browsers whose tabs it can read, and the About window's site.
#include "Support.hpp"

#include <KeyboardShortcuts/Shortcut.hpp>
#include <QCheckBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <TestSupport/ScopedEnvironment.hpp>
#include <ZemlarKit/AtspiTabReader.hpp>
#include <ZemlarKit/LoginItem.hpp>
#include <ZemlarScreens/AboutView.hpp>
#include <ZemlarScreens/GeneralSettingsView.hpp>
#include <ZemlarScreens/SessionLock.hpp>
#include <ZemlarScreens/SettingsView.hpp>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

using namespace zemlar;
using namespace zemlar::testing;
namespace fs = std::filesystem;

namespace {

/// With XDG_CONFIG_HOME, where the autostart entry goes, in a fresh folder.
class GeneralSettingsTest : public FreshSettings {
protected:
    void SetUp() override {
        FreshSettings::SetUp();
        ASSERT_TRUE(config.isValid());
    }
    fs::path entryFile() const {
        return fs::path(config.path().toStdString()) / "autostart" / "app.zemlar.Zemlar.desktop";
    }

    QTemporaryDir config;
    ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path().toUtf8().constData()};
    FakeDeviceAuthentication authentication;
    SessionLock lock{authentication, noBus(), noBus()};
    KeyboardShortcuts::Name togglePanel{QStringLiteral("togglePanel")};
    GeneralSettingsView view{lock, togglePanel};
};

// The navigation's way to the tabs is the start-up tests'; here the way back, and a screen put in.
TEST_F(GeneralSettingsTest, ATabChosenInTheViewIsRememberedAndTakesItsScreen) {
    SettingsNavigation navigation;
    SettingsView view(navigation, lock, togglePanel);
    view.setCurrentIndex(2);
    EXPECT_EQ(navigation.tab(), SettingsTab::backup);
    auto* importScreen = new QWidget();
    view.setScreen(SettingsTab::importing, importScreen);
    EXPECT_EQ(view.screen(SettingsTab::importing), importScreen);
}

TEST_F(GeneralSettingsTest, MatchingTheBrowserTabIsOffUntilTurnedOn) {
    view.matchBrowserTabToggle()->click();
    EXPECT_EQ(stored(QStringLiteral("matchBrowserTab")), QVariant(true));
    EXPECT_TRUE(GeneralSettingsView(lock, togglePanel).matchBrowserTabToggle()->isChecked());
}

TEST_F(GeneralSettingsTest, TheLockToggleFollowsTheLockAndACancelledPromptLeavesItOn) {
    QCheckBox& toggle = *view.requireAuthenticationToggle();
    toggle.click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return lock.isEnabled(); }, 2000));
    EXPECT_TRUE(toggle.isChecked());

    authentication.answers = {false};
    toggle.click();
    QTest::qWait(20);
    EXPECT_TRUE(lock.isEnabled());
    EXPECT_TRUE(toggle.isChecked());
    EXPECT_EQ(authentication.reasons.size(), 1u);
}

// Writing the entry itself is LoginItem's test below.
TEST_F(GeneralSettingsTest, LaunchAtLoginShowsFailuresAndReadsTheEntryAfreshOnShowing) {
    QCheckBox& toggle = *view.launchAtLoginToggle();
    const fs::path autostart = entryFile().parent_path();
    std::ofstream(autostart) << "in the way";
    view.show();
    toggle.click();
    EXPECT_FALSE(toggle.isChecked());
    EXPECT_TRUE(view.failureMessage()->isVisible());

    fs::remove(autostart);
    toggle.click();
    EXPECT_TRUE(toggle.isChecked());
    EXPECT_FALSE(view.failureMessage()->isVisible());

    ASSERT_TRUE(LoginItem::setEnabled(false).has_value());
    view.hide();
    view.show();
    EXPECT_FALSE(toggle.isChecked());
}

using Outcome = Result<LoginItemState, LoginItemError>;

std::string contents(const fs::path& file) {
    std::stringstream text;
    text << std::ifstream(file).rdbuf();
    return text.str();
}

TEST_F(GeneralSettingsTest, TheAutostartFileFollowsAnAbsoluteConfigurationFolderOnly) {
    EXPECT_EQ(LoginItem::autostartFile(), entryFile());
    const fs::path fallback = fs::path(qgetenv("HOME").toStdString()) / ".config" / "autostart" /
                              "app.zemlar.Zemlar.desktop";
    qputenv("XDG_CONFIG_HOME", "relative/folder");
    EXPECT_EQ(LoginItem::autostartFile(), fallback);
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(LoginItem::autostartFile(), fallback);
}

TEST_F(GeneralSettingsTest, EnablingWritesAnEntryThatLaunchesThisProgramAndDisablingRemovesIt) {
    EXPECT_EQ(LoginItem::setEnabled(true), Outcome(LoginItemState::enabled));
    const std::string entry = contents(entryFile());
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    EXPECT_NE(entry.find("Exec=\"" + self + "\"\n"), std::string::npos) << entry;
    EXPECT_FALSE(fs::exists(entryFile().string() + ".partial"));
    ASSERT_TRUE(LoginItem::setEnabled(false).has_value());
    EXPECT_FALSE(fs::exists(entryFile()));
    EXPECT_EQ(LoginItem::setEnabled(false), Outcome(LoginItemState::disabled)); // not there
}

TEST_F(GeneralSettingsTest, AHiddenOrSwitchedOffEntryCountsAsDisabled) {
    fs::create_directories(entryFile().parent_path());
    std::ofstream(entryFile()) << "[Desktop Entry]\nType=Application\nHidden=true\n";
    EXPECT_EQ(LoginItem::state(), LoginItemState::disabled);
    std::ofstream(entryFile()) << "[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n";
    EXPECT_EQ(LoginItem::state(), LoginItemState::disabled);
    std::ofstream(entryFile()) << "[Desktop Entry]\nExec=zemlar\n";
    EXPECT_EQ(LoginItem::state(), LoginItemState::enabled);
}

TEST(LoginItemEntry, PathsAreQuotedForTheExecKey) {
    const std::string entry = LoginItem::desktopEntry("/opt/my apps/50%/a\"b$c`d\\e");
    EXPECT_NE(entry.find("Exec=\"/opt/my apps/50%%/a\\\\\"b\\\\$c\\\\`d\\\\\\\\e\"\n"),
              std::string::npos)
        << entry;
}

TEST(AtspiTabReader, MapsTheBrowsersWindowClassesToReadableBundleIdentifiers) {
    const std::pair<const char*, const char*> browsers[] = {{"Google-chrome", "com.google.Chrome"},
                                                            {"firefox", "org.mozilla.firefox"}};
    for (const auto& [windowClass, bundleID] : browsers) {
        EXPECT_EQ(AtspiTabReader::bundleID(windowClass), bundleID) << windowClass;
        EXPECT_TRUE(AtspiTabReader::isSupported(bundleID)) << windowClass;
    }
    for (const char* other : {"Gedit", "chrome", ""}) {
        EXPECT_EQ(AtspiTabReader::bundleID(other), std::nullopt) << other;
    }
    EXPECT_FALSE(AtspiTabReader::isSupported("com.apple.TextEdit"));
}

TEST(AboutView, LinksToTheRussianPageOnlyWhenRussianComesFirst) {
    const std::pair<QStringList, const char*> cases[] = {{{"ru-RU"}, "https://zemlar.app/ru/"},
                                                         {{"en-US", "ru"}, "https://zemlar.app/"},
                                                         {{"rue"}, "https://zemlar.app/"},
                                                         {{}, "https://zemlar.app/"}};
    for (const auto& [languages, site] : cases) {
        EXPECT_EQ(AboutView::siteFor(languages), QString::fromUtf8(site)) << site;
    }
}

} // namespace
