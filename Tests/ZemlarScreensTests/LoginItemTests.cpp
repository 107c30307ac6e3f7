// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTemporaryDir>
#include <TestSupport/ScopedEnvironment.hpp>
#include <ZemlarKit/LoginItem.hpp>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

using namespace zemlar;
using zemlar::testing::ScopedEnvironment;
namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

/// Points XDG_CONFIG_HOME at a fresh folder for each test and puts the old value back.
class LoginItemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(config.isValid()); }

    fs::path expectedFile() const {
        return fs::path(config.path().toStdString()) / "autostart" / "app.zemlar.Zemlar.desktop";
    }

    QTemporaryDir config;
    ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path().toUtf8().constData()};
};

TEST_F(LoginItemTest, TheAutostartFileFollowsTheConfigurationFolder) {
    EXPECT_EQ(LoginItem::autostartFile(), expectedFile());
    qputenv("XDG_CONFIG_HOME", "relative/folder");
    const QByteArray home = qgetenv("HOME");
    EXPECT_EQ(LoginItem::autostartFile(),
              fs::path(home.toStdString()) / ".config" / "autostart" / "app.zemlar.Zemlar.desktop");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(LoginItem::autostartFile(),
              fs::path(home.toStdString()) / ".config" / "autostart" / "app.zemlar.Zemlar.desktop");
}

TEST_F(LoginItemTest, EnablingWritesAnEntryThatLaunchesThisProgramAndDisablingRemovesIt) {
    EXPECT_EQ(LoginItem::state(), LoginItemState::disabled);

    const auto enabled = LoginItem::setEnabled(true);
    ASSERT_TRUE(enabled.has_value());
    EXPECT_EQ(*enabled, LoginItemState::enabled);
    EXPECT_EQ(LoginItem::state(), LoginItemState::enabled);
    const std::string entry = contents(expectedFile());
    EXPECT_TRUE(entry.starts_with("[Desktop Entry]\n"));
    EXPECT_NE(entry.find("Type=Application\n"), std::string::npos);
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    EXPECT_NE(entry.find("Exec=\"" + self + "\"\n"), std::string::npos) << entry;
    EXPECT_FALSE(fs::exists(expectedFile().string() + ".partial"));

    // Enabling twice keeps one entry.
    ASSERT_TRUE(LoginItem::setEnabled(true).has_value());
    EXPECT_EQ(contents(expectedFile()), entry);

    const auto disabled = LoginItem::setEnabled(false);
    ASSERT_TRUE(disabled.has_value());
    EXPECT_EQ(*disabled, LoginItemState::disabled);
    EXPECT_FALSE(fs::exists(expectedFile()));
    // Disabling what is not there succeeds.
    using Outcome = Result<LoginItemState, LoginItemError>;
    EXPECT_EQ(LoginItem::setEnabled(false), Outcome(LoginItemState::disabled));
}

TEST_F(LoginItemTest, AHiddenOrSwitchedOffEntryCountsAsDisabled) {
    fs::create_directories(expectedFile().parent_path());
    std::ofstream(expectedFile()) << "[Desktop Entry]\nType=Application\nHidden=true\n";
    EXPECT_EQ(LoginItem::state(), LoginItemState::disabled);
    std::ofstream(expectedFile()) << "[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n";
    EXPECT_EQ(LoginItem::state(), LoginItemState::disabled);
    std::ofstream(expectedFile()) << "[Desktop Entry]\nExec=zemlar\n";
    EXPECT_EQ(LoginItem::state(), LoginItemState::enabled);
}

TEST_F(LoginItemTest, AnUnwritableFolderIsReportedAsAFailure) {
    // A file where the autostart folder belongs.
    std::ofstream(fs::path(config.path().toStdString()) / "autostart") << "in the way";
    using Outcome = Result<LoginItemState, LoginItemError>;
    EXPECT_EQ(LoginItem::setEnabled(true), Outcome(fail(LoginItemError::registrationFailed())));
    EXPECT_EQ(LoginItem::state(), LoginItemState::disabled);
}

TEST(LoginItemEntry, PathsAreQuotedForTheExecKey) {
    const std::string entry = LoginItem::desktopEntry("/opt/my apps/50%/a\"b$c`d\\e");
    EXPECT_NE(entry.find("Exec=\"/opt/my apps/50%%/a\\\\\"b\\\\$c\\\\`d\\\\\\\\e\"\n"),
              std::string::npos)
        << entry;
}

} // namespace
