// SPDX-License-Identifier: GPL-3.0-or-later
#include "Support.hpp"

#include <KeyboardShortcuts/Recorder.hpp>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <TestSupport/ScopedEnvironment.hpp>
#include <ZemlarScreens/GeneralSettingsView.hpp>
#include <ZemlarScreens/SessionLock.hpp>
#include <filesystem>
#include <fstream>

using namespace zemlar;
using namespace zemlar::testing;
namespace fs = std::filesystem;

namespace {

class GeneralSettingsTest : public FreshSettings {
protected:
    void SetUp() override {
        FreshSettings::SetUp();
        ASSERT_TRUE(config.isValid());
    }

    std::unique_ptr<SessionLock> makeLock() {
        return std::make_unique<SessionLock>(authentication, noBus(), noBus());
    }

    static KeyboardShortcuts::Name togglePanel() {
        return KeyboardShortcuts::Name(QStringLiteral("togglePanel"));
    }

    QTemporaryDir config;
    ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path().toUtf8().constData()};
    FakeDeviceAuthentication authentication;
};

TEST_F(GeneralSettingsTest, ShowsTheThreeSectionsWithTheirControls) {
    auto lock = makeLock();
    GeneralSettingsView view(*lock, togglePanel());
    const auto sections = view.findChildren<QGroupBox*>();
    ASSERT_EQ(sections.size(), 3);
    EXPECT_EQ(sections[0]->title(), QStringLiteral("Search Panel"));
    EXPECT_EQ(sections[1]->title(), QStringLiteral("Browser"));
    EXPECT_EQ(sections[2]->title(), QStringLiteral("Startup"));

    auto* form = qobject_cast<QFormLayout*>(sections[0]->layout());
    ASSERT_NE(form, nullptr);
    auto* label = qobject_cast<QLabel*>(form->labelForField(view.shortcutRecorder()));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Shortcut"));
    EXPECT_EQ(view.shortcutRecorder()->name().rawValue, QStringLiteral("togglePanel"));

    EXPECT_EQ(view.findChild<QCheckBox*>(QStringLiteral("requireAuthentication")),
              view.requireAuthenticationToggle());
    EXPECT_EQ(view.requireAuthenticationToggle()->text(),
              QStringLiteral("Require your password to show codes"));
    EXPECT_EQ(view.matchBrowserTabToggle()->text(),
              QStringLiteral("Match the account to the site in the active tab"));
    EXPECT_EQ(view.launchAtLoginToggle()->text(), QStringLiteral("Launch at login"));
}

TEST_F(GeneralSettingsTest, MatchingTheBrowserTabIsOffUntilTurnedOn) {
    auto lock = makeLock();
    GeneralSettingsView view(*lock, togglePanel());
    EXPECT_FALSE(view.matchBrowserTabToggle()->isChecked());
    view.matchBrowserTabToggle()->click();
    EXPECT_EQ(stored(QStringLiteral("matchBrowserTab")), QVariant(true));
    view.matchBrowserTabToggle()->click();
    EXPECT_EQ(stored(QStringLiteral("matchBrowserTab")), QVariant(false));

    store(QStringLiteral("matchBrowserTab"), true);
    GeneralSettingsView reopened(*lock, togglePanel());
    EXPECT_TRUE(reopened.matchBrowserTabToggle()->isChecked());
}

TEST_F(GeneralSettingsTest, TheLockToggleFollowsTheLockAndACancelledPromptLeavesItOn) {
    auto lock = makeLock();
    GeneralSettingsView view(*lock, togglePanel());
    QCheckBox& toggle = *view.requireAuthenticationToggle();
    EXPECT_FALSE(toggle.isChecked());

    toggle.click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return lock->isEnabled(); }, 2000));
    EXPECT_TRUE(toggle.isChecked());
    EXPECT_EQ(stored(QStringLiteral("requireAuthentication")), QVariant(true));

    authentication.answers = {false};
    toggle.click();
    QTest::qWait(20);
    EXPECT_TRUE(lock->isEnabled());
    EXPECT_TRUE(toggle.isChecked());
    EXPECT_EQ(authentication.reasons.size(), 1u);

    toggle.click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !lock->isEnabled(); }, 2000));
    EXPECT_FALSE(toggle.isChecked());
}

TEST_F(GeneralSettingsTest, LaunchAtLoginWritesTheAutostartEntryAndShowsFailures) {
    auto lock = makeLock();
    GeneralSettingsView view(*lock, togglePanel());
    QCheckBox& toggle = *view.launchAtLoginToggle();
    const fs::path autostart = fs::path(config.path().toStdString()) / "autostart";
    EXPECT_FALSE(toggle.isChecked());

    toggle.click();
    EXPECT_TRUE(toggle.isChecked());
    EXPECT_TRUE(fs::exists(autostart / "app.zemlar.Zemlar.desktop"));
    EXPECT_EQ(view.loginItem(), LoginItemState::enabled);
    EXPECT_FALSE(view.loginItemFailed());

    toggle.click();
    EXPECT_FALSE(toggle.isChecked());
    EXPECT_FALSE(fs::exists(autostart / "app.zemlar.Zemlar.desktop"));

    fs::remove_all(autostart);
    std::ofstream(autostart) << "in the way";
    view.show();
    toggle.click();
    EXPECT_FALSE(toggle.isChecked());
    EXPECT_TRUE(view.loginItemFailed());
    EXPECT_TRUE(view.failureMessage()->isVisible());
    EXPECT_EQ(view.failureMessage()->text(), QStringLiteral("Couldn't change the launch setting"));
    EXPECT_FALSE(view.approvalHint()->isVisible());

    fs::remove(autostart);
    toggle.click();
    EXPECT_TRUE(toggle.isChecked());
    EXPECT_FALSE(view.failureMessage()->isVisible());
}

TEST_F(GeneralSettingsTest, TheLoginItemIsReadAfreshWhenTheScreenAppears) {
    auto lock = makeLock();
    GeneralSettingsView view(*lock, togglePanel());
    EXPECT_FALSE(view.launchAtLoginToggle()->isChecked());
    ASSERT_TRUE(LoginItem::setEnabled(true).has_value());
    view.show();
    EXPECT_TRUE(view.launchAtLoginToggle()->isChecked());
}

} // namespace
