// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTemporaryDir>
#include <TestSupport/ScopedEnvironment.hpp>
#include <ZemlarKit/LoginItem.hpp>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

using namespace zemlar;
using zemlar::testing::ScopedEnvironment;
namespace fs = std::filesystem;

namespace {

using Outcome = Result<LoginItemState, LoginItemError>;

std::string contents(const fs::path& file) {
    std::stringstream text;
    text << std::ifstream(file).rdbuf();
    return text.str();
}

/// Points XDG_CONFIG_HOME at a fresh folder for each test and puts the old value back.
class LoginItemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(config.isValid()); }
    fs::path configFolder() const { return config.path().toStdString(); }
    fs::path entryFile() const {
        return configFolder() / "autostart" / "app.zemlar.Zemlar.desktop";
    }

    QTemporaryDir config;
    ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path().toUtf8().constData()};
};

TEST_F(LoginItemTest, TheAutostartFileFollowsAnAbsoluteConfigurationFolderOnly) {
    EXPECT_EQ(LoginItem::autostartFile(), entryFile());
    const fs::path fallback = fs::path(qgetenv("HOME").toStdString()) / ".config" / "autostart" /
                              "app.zemlar.Zemlar.desktop";
    qputenv("XDG_CONFIG_HOME", "relative/folder");
    EXPECT_EQ(LoginItem::autostartFile(), fallback);
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(LoginItem::autostartFile(), fallback);
}

TEST_F(LoginItemTest, EnablingWritesAnEntryThatLaunchesThisProgramAndDisablingRemovesIt) {
    EXPECT_EQ(LoginItem::state(), LoginItemState::disabled);
    EXPECT_EQ(LoginItem::setEnabled(true), Outcome(LoginItemState::enabled));
    EXPECT_EQ(LoginItem::state(), LoginItemState::enabled);
    const std::string entry = contents(entryFile());
    EXPECT_TRUE(entry.starts_with("[Desktop Entry]\n"));
    EXPECT_NE(entry.find("Type=Application\n"), std::string::npos);
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    EXPECT_NE(entry.find("Exec=\"" + self + "\"\n"), std::string::npos) << entry;
    EXPECT_FALSE(fs::exists(entryFile().string() + ".partial"));
    ASSERT_TRUE(LoginItem::setEnabled(true).has_value()); // twice keeps one entry
    EXPECT_EQ(contents(entryFile()), entry);

    EXPECT_EQ(LoginItem::setEnabled(false), Outcome(LoginItemState::disabled));
    EXPECT_FALSE(fs::exists(entryFile()));
    EXPECT_EQ(LoginItem::setEnabled(false), Outcome(LoginItemState::disabled)); // not there
}

TEST_F(LoginItemTest, AHiddenOrSwitchedOffEntryCountsAsDisabled) {
    fs::create_directories(entryFile().parent_path());
    std::ofstream(entryFile()) << "[Desktop Entry]\nType=Application\nHidden=true\n";
    EXPECT_EQ(LoginItem::state(), LoginItemState::disabled);
    std::ofstream(entryFile()) << "[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n";
    EXPECT_EQ(LoginItem::state(), LoginItemState::disabled);
    std::ofstream(entryFile()) << "[Desktop Entry]\nExec=zemlar\n";
    EXPECT_EQ(LoginItem::state(), LoginItemState::enabled);
}

TEST_F(LoginItemTest, AnUnwritableFolderIsReportedAsAFailure) {
    std::ofstream(configFolder() / "autostart") << "in the way";
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
