// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <ZemlarScreens/AboutView.hpp>
#include <gtest/gtest.h>

using namespace zemlar;

namespace {

TEST(AboutView, ShowsTheVersionOrADashAndWhereSecretsLiveInLinuxTerms) {
    EXPECT_EQ(AboutView(QString(), {}).versionLabel()->text(), QStringLiteral("Version —"));
    AboutView view(QStringLiteral("0.1.0"), {});
    EXPECT_EQ(view.versionLabel()->text(), QStringLiteral("Version 0.1.0"));
    QStringList texts;
    for (const QLabel* label : view.findChildren<QLabel*>()) {
        texts << label->text();
    }
    EXPECT_TRUE(texts.contains(QStringLiteral(
        "Secrets are kept only in this computer's keyring. The backup is an encrypted file in the "
        "sync folder.")));
}

TEST(AboutView, LinksToTheRussianPageOnlyWhenRussianComesFirst) {
    const std::pair<QStringList, const char*> cases[] = {{{"ru", "en"}, "https://zemlar.app/ru/"},
                                                         {{"ru-RU"}, "https://zemlar.app/ru/"},
                                                         {{"en-US", "ru"}, "https://zemlar.app/"},
                                                         {{"rue"}, "https://zemlar.app/"},
                                                         {{}, "https://zemlar.app/"}};
    for (const auto& [languages, site] : cases) {
        EXPECT_EQ(AboutView::siteFor(languages), QString::fromUtf8(site)) << site;
    }
    AboutView view(QStringLiteral("1"), {QStringLiteral("ru")});
    EXPECT_TRUE(view.siteLink()->text().contains(QStringLiteral("https://zemlar.app/ru/")));
}

} // namespace
