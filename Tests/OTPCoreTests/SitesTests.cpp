// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestAccounts.hpp"

#include <OTPCore/BrowserScripts.hpp>
#include <OTPCore/Sites.hpp>
#include <gtest/gtest.h>

using namespace zemlar;

namespace {

using Hosts = std::vector<std::string>;

Account accountWith(std::string issuer, std::vector<std::string> domains) {
    Account account = zemlar::testing::account(1, std::move(issuer), "me");
    account.domains = std::move(domains);
    return account;
}

TEST(SitesNormalize, LowersTrimsAndDropsOneLeadingWWW) {
    EXPECT_EQ(Sites::normalize("  WWW.Example.COM.\n"), "example.com");
    EXPECT_EQ(Sites::normalize("..www.www.example.com"), "www.example.com");
    EXPECT_EQ(Sites::normalize("BÜCHER.de"), "bücher.de");
    // Trimming comes first, so a lone "www." keeps its letters.
    EXPECT_EQ(Sites::normalize("www."), "www");
}

TEST(SitesHost, TakesTheNormalisedHostOfWebURLsEvenWithHostileAuthorities) {
    const std::pair<const char*, const char*> hosts[] = {
        {"https://WWW.Example.COM/path?q=1#top", "example.com"},
        {"  HTTP://localhost:8080/login \n", "localhost"},
        {"https://user:pw@bank.com:8443/", "bank.com"},
        {"https://evil.com@bank.com/", "bank.com"},
        {"https://[2001:DB8::1]:8080/", "2001:db8::1"},
        {"https://b%C3%BCcher.de/", "b\u00FCcher.de"},
    };
    for (const auto& [url, host] : hosts) {
        EXPECT_EQ(Sites::host(url), host) << url;
    }
    for (const char* url :
         {"ftp://example.com", "www.example.com/path", "https:example.com", "https://",
          "1https://x.com", "https://.../", "https://[::1/", "https://[::1]x/", "https://[zz]/",
          "https://a b.com", "https://example.com:80a/", "https://ex%00ample.com",
          "https://ex%2Fample.com", "https://%FF.com", "https://exa<mple.com",
          "https://\xFF.com"}) {
        EXPECT_EQ(Sites::host(url), std::nullopt) << url;
    }
}

TEST(SitesHost, SurvivesVeryLongInput) {
    const std::string longHost(200'000, 'a');
    EXPECT_EQ(Sites::host("https://" + longHost + ".com/"), longHost + ".com");
    EXPECT_EQ(Sites::host(std::string(200'000, '/')), std::nullopt);
}

TEST(SitesParseList, KeepsPlausibleHostsOnceInOrder) {
    EXPECT_EQ(Sites::parseList("example.com, https://www.Second.org/login;third.net/path "
                               "third.net"),
              (Hosts{"example.com", "second.org", "third.net"}));
    EXPECT_EQ(Sites::parseList("localhost\nintranet\tmy_site.com x.y;-a.b-"),
              (Hosts{"localhost", "x.y", "-a.b-"}));
    EXPECT_EQ(Sites::parseList("//example.com//path http://localhost:3000 ftp://x.org"),
              (Hosts{"example.com", "localhost"}));
    EXPECT_EQ(Sites::parseList("bücher.de, 例え.jp, ex:ample.com, https://[::1]/"),
              (Hosts{"bücher.de", "例え.jp"}));
}

TEST(SitesParseList, SurvivesHostileInput) {
    std::string repeated;
    for (int index = 0; index < 20'000; ++index) {
        repeated += "a" + std::to_string(index % 100) + ".com,";
    }
    EXPECT_EQ(Sites::parseList(repeated).size(), 100u);
    EXPECT_EQ(Sites::parseList("\xFF\xFE.com \xC3.de ok.de"), (Hosts{"ok.de"}));
    EXPECT_EQ(Sites::parseList(std::string(100'000, '.')), Hosts{});
}

TEST(SitesMatch, DomainCoversItsSubdomains) {
    const Account account = accountWith("Other", {"example.com", "acme.org"});
    EXPECT_EQ(Sites::match("example.com", account), SiteMatch::domain);
    EXPECT_EQ(Sites::match("login.EXAMPLE.com", account), SiteMatch::domain);
    EXPECT_EQ(Sites::match("example.com.evil.net", account), SiteMatch::none);
}

TEST(SitesMatch, IssuerKeyMatchesAWholeLabel) {
    const Account bank = accountWith("Acme Bank", {});
    EXPECT_EQ(Sites::match("acmebank.com", bank), SiteMatch::issuer);
    EXPECT_EQ(Sites::match("acmebankonline.com", bank), SiteMatch::none);
    EXPECT_EQ(Sites::match("acme.com", bank), SiteMatch::none);
    EXPECT_EQ(Sites::match("login.mañana.es", accountWith("Mañana!", {})), SiteMatch::issuer);
    EXPECT_EQ(Sites::match("acme.com", accountWith("Acme", {"acme.com"})), SiteMatch::domain);
}

TEST(SitesMatch, ShortIssuerKeysNeverMatch) {
    EXPECT_EQ(Sites::match("ab.com", accountWith("A.B.", {})), SiteMatch::none);
    EXPECT_EQ(Sites::match("com.com", accountWith("", {})), SiteMatch::none);
    EXPECT_EQ(Sites::match("ab.com", accountWith("AB", {"ab.com"})), SiteMatch::domain);
}

TEST(BrowserScripts, AskEachFamilyForItsFrontTabAndNoOtherApplication) {
    for (const auto id : BrowserScripts::safariFamily) {
        EXPECT_TRUE(BrowserScripts::activeTabURLScript(id)) << id;
    }
    for (const char* id : {"com.apple.TextEdit", "", "com.apple.safari", "com.google.Chrome "}) {
        EXPECT_EQ(BrowserScripts::activeTabURLScript(id), std::nullopt) << id;
    }
}

} // namespace
