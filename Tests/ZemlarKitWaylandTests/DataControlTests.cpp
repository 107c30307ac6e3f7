// SPDX-License-Identifier: GPL-3.0-or-later
// The clipboard's data control under the headless sway of with-headless-sway, with wl-clipboard
// as the other clients.
#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <Wayland/DataControl.hpp>
#include <ZemlarKit/SystemPasteboard.hpp>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace zemlar;

namespace {

void copy(const QStringList& arguments) {
    // wl-copy stays in the background to serve the selection.
    ASSERT_EQ(QProcess::execute(QStringLiteral("wl-copy"), arguments), 0);
}

std::optional<QString> pasted(const QStringList& arguments = {}) {
    QProcess paste;
    paste.start(QStringLiteral("wl-paste"),
                arguments + QStringList{QStringLiteral("--no-newline")});
    if (!paste.waitForFinished(5000) || paste.exitCode() != 0) {
        return std::nullopt;
    }
    return QString::fromUtf8(paste.readAllStandardOutput());
}

TEST(DataControl, CountsTheSelectionsOfOthersButNotOurOwnAndClearsTheClipboard) {
    if (std::getenv("WAYLAND_DISPLAY") == nullptr) {
        GTEST_SKIP() << "needs the Wayland compositor of with-headless-sway";
    }
    const auto control = DataControl::connect();
    ASSERT_NE(control, nullptr) << "the compositor offers no data control";

    const auto start = control->changes();
    copy({QStringLiteral("123456")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return control->changes() == start + 1; }, 5000));

    const QString hint = QString::fromLatin1(SystemPasteboard::passwordManagerHint);
    control->expectOwnSelection(SystemPasteboard::passwordManagerHint);
    copy({QStringLiteral("--type"), hint, QStringLiteral("secret")});
    ASSERT_EQ(pasted({QStringLiteral("--type"), hint}), QStringLiteral("secret"));
    QTest::qWait(200);
    EXPECT_EQ(control->changes(), start + 1);

    control->clearSelection();
    EXPECT_TRUE(QTest::qWaitFor([] { return !pasted().has_value(); }, 5000));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
