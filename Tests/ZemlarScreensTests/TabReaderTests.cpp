// SPDX-License-Identifier: GPL-3.0-or-later
#include "Support.hpp"

#include <ZemlarKit/AtspiTabReader.hpp>
#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

TEST(AtspiTabReader, MapsTheBrowsersWindowClassesToTheirBundleIdentifiers) {
    EXPECT_EQ(AtspiTabReader::bundleID("Google-chrome"), "com.google.Chrome");
    EXPECT_EQ(AtspiTabReader::bundleID("google-chrome"), "com.google.Chrome");
    EXPECT_EQ(AtspiTabReader::bundleID("Chromium"), "org.chromium.Chromium");
    EXPECT_EQ(AtspiTabReader::bundleID("chromium-browser"), "org.chromium.Chromium");
    EXPECT_EQ(AtspiTabReader::bundleID("Brave-browser"), "com.brave.Browser");
    EXPECT_EQ(AtspiTabReader::bundleID("Microsoft-edge"), "com.microsoft.edgemac");
    EXPECT_EQ(AtspiTabReader::bundleID("Vivaldi-stable"), "com.vivaldi.Vivaldi");
    EXPECT_EQ(AtspiTabReader::bundleID("firefox"), "org.mozilla.firefox");
    EXPECT_EQ(AtspiTabReader::bundleID("Gedit"), std::nullopt);
    EXPECT_EQ(AtspiTabReader::bundleID("chrome"), std::nullopt);
    EXPECT_EQ(AtspiTabReader::bundleID(""), std::nullopt);
}

TEST(AtspiTabReader, EveryMappedBrowserCanBeRead) {
    for (const char* windowClass : {"Google-chrome", "Chromium", "Brave-browser", "Microsoft-edge",
                                    "Vivaldi-stable", "firefox"}) {
        const auto bundleID = AtspiTabReader::bundleID(windowClass);
        ASSERT_TRUE(bundleID.has_value()) << windowClass;
        EXPECT_TRUE(AtspiTabReader::isSupported(*bundleID)) << windowClass;
    }
    EXPECT_FALSE(AtspiTabReader::isSupported("com.apple.TextEdit"));
}

TEST(AtspiTabReader, GivesNothingWithoutABus) {
    const AtspiTabReader reader(std::chrono::seconds(2), noBus());
    EXPECT_EQ(reader.host("org.chromium.Chromium"), std::nullopt);
    EXPECT_EQ(reader.host("com.apple.TextEdit"), std::nullopt);
}

} // namespace
