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

    QTemporaryDir config;
    ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path().toUtf8().constData()};
    FakeDeviceAuthentication authentication;
    SessionLock lock{authentication, noBus(), noBus()};
    KeyboardShortcuts::Name togglePanel{QStringLiteral("togglePanel")};
    GeneralSettingsView view{lock, togglePanel};
};

TEST_F(GeneralSettingsTest, ShowsTheThreeSectionsWithTheirControls) {
    QStringList titles;
    for (const QGroupBox* section : view.findChildren<QGroupBox*>()) {
        titles << section->title();
    }
    EXPECT_EQ(titles, (QStringList{"Search Panel", "Browser", "Startup"}));
    auto* form = qobject_cast<QFormLayout*>(view.findChildren<QGroupBox*>()[0]->layout());
    ASSERT_NE(form, nullptr);
    auto* label = qobject_cast<QLabel*>(form->labelForField(view.shortcutRecorder()));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Shortcut"));
    EXPECT_EQ(view.shortcutRecorder()->name().rawValue, QStringLiteral("togglePanel"));
    EXPECT_EQ(
        (QStringList{view.requireAuthenticationToggle()->text(),
                     view.matchBrowserTabToggle()->text(), view.launchAtLoginToggle()->text()}),
        (QStringList{"Require your password to show codes",
                     "Match the account to the site in the active tab", "Launch at login"}));
}

TEST_F(GeneralSettingsTest, MatchingTheBrowserTabIsOffUntilTurnedOn) {
    EXPECT_FALSE(view.matchBrowserTabToggle()->isChecked());
    view.matchBrowserTabToggle()->click();
    EXPECT_EQ(stored(QStringLiteral("matchBrowserTab")), QVariant(true));
    view.matchBrowserTabToggle()->click();
    EXPECT_EQ(stored(QStringLiteral("matchBrowserTab")), QVariant(false));
    store(QStringLiteral("matchBrowserTab"), true);
    EXPECT_TRUE(GeneralSettingsView(lock, togglePanel).matchBrowserTabToggle()->isChecked());
}

TEST_F(GeneralSettingsTest, TheLockToggleFollowsTheLockAndACancelledPromptLeavesItOn) {
    QCheckBox& toggle = *view.requireAuthenticationToggle();
    EXPECT_FALSE(toggle.isChecked());
    toggle.click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return lock.isEnabled(); }, 2000));
    EXPECT_TRUE(toggle.isChecked());
    EXPECT_EQ(stored(QStringLiteral("requireAuthentication")), QVariant(true));

    authentication.answers = {false};
    toggle.click();
    QTest::qWait(20);
    EXPECT_TRUE(lock.isEnabled());
    EXPECT_TRUE(toggle.isChecked());
    EXPECT_EQ(authentication.reasons.size(), 1u);

    toggle.click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !lock.isEnabled(); }, 2000));
    EXPECT_FALSE(toggle.isChecked());
}

TEST_F(GeneralSettingsTest, LaunchAtLoginWritesTheAutostartEntryAndShowsFailures) {
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
    EXPECT_FALSE(view.launchAtLoginToggle()->isChecked());
    ASSERT_TRUE(LoginItem::setEnabled(true).has_value());
    view.show();
    EXPECT_TRUE(view.launchAtLoginToggle()->isChecked());
}

} // namespace
