// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <ZemlarScreens/AboutView.hpp>
#include <gtest/gtest.h>

using namespace zemlar;

namespace {

TEST(AboutView, ShowsTheVersionOrADash) {
    EXPECT_EQ(AboutView(QStringLiteral("0.1.0"), {}).versionLabel()->text(),
              QStringLiteral("Version 0.1.0"));
    EXPECT_EQ(AboutView(QString(), {}).versionLabel()->text(), QStringLiteral("Version —"));
}

TEST(AboutView, LinksToTheRussianPageOnlyWhenRussianComesFirst) {
    EXPECT_EQ(AboutView::siteFor({QStringLiteral("ru"), QStringLiteral("en")}),
              QStringLiteral("https://zemlar.app/ru/"));
    EXPECT_EQ(AboutView::siteFor({QStringLiteral("ru-RU")}),
              QStringLiteral("https://zemlar.app/ru/"));
    EXPECT_EQ(AboutView::siteFor({QStringLiteral("en-US"), QStringLiteral("ru")}),
              QStringLiteral("https://zemlar.app/"));
    EXPECT_EQ(AboutView::siteFor({QStringLiteral("rue")}), QStringLiteral("https://zemlar.app/"));
    EXPECT_EQ(AboutView::siteFor({}), QStringLiteral("https://zemlar.app/"));
    AboutView view(QStringLiteral("1"), {QStringLiteral("ru")});
    EXPECT_TRUE(view.siteLink()->text().contains(QStringLiteral("https://zemlar.app/ru/")));
}

TEST(AboutView, SaysWhereSecretsLiveInLinuxTerms) {
    AboutView view(QStringLiteral("1"), {});
    QStringList texts;
    for (const QLabel* label : view.findChildren<QLabel*>()) {
        texts << label->text();
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Zemlar")));
    EXPECT_TRUE(texts.contains(QStringLiteral(
        "Secrets are kept only in this computer's keyring. The backup is an encrypted file in the "
        "sync folder.")));
    EXPECT_EQ(view.width(), 340);
}

} // namespace
