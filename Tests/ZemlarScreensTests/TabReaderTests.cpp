// SPDX-License-Identifier: GPL-3.0-or-later
#include "Support.hpp"

#include <ZemlarKit/AtspiTabReader.hpp>
#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

TEST(AtspiTabReader, MapsTheBrowsersWindowClassesToReadableBundleIdentifiers) {
    const std::pair<const char*, const char*> browsers[] = {
        {"Google-chrome", "com.google.Chrome"},    {"google-chrome", "com.google.Chrome"},
        {"Chromium", "org.chromium.Chromium"},     {"chromium-browser", "org.chromium.Chromium"},
        {"Brave-browser", "com.brave.Browser"},    {"Microsoft-edge", "com.microsoft.edgemac"},
        {"Vivaldi-stable", "com.vivaldi.Vivaldi"}, {"firefox", "org.mozilla.firefox"}};
    for (const auto& [windowClass, bundleID] : browsers) {
        EXPECT_EQ(AtspiTabReader::bundleID(windowClass), bundleID) << windowClass;
        EXPECT_TRUE(AtspiTabReader::isSupported(bundleID)) << windowClass;
    }
    for (const char* other : {"Gedit", "chrome", ""}) {
        EXPECT_EQ(AtspiTabReader::bundleID(other), std::nullopt) << other;
    }
    EXPECT_FALSE(AtspiTabReader::isSupported("com.apple.TextEdit"));
}

TEST(AtspiTabReader, GivesNothingWithoutABus) {
    EXPECT_EQ(
        AtspiTabReader(std::chrono::seconds(2), noBus()).host({"org.chromium.Chromium", 1, {}}),
        std::nullopt);
}

} // namespace
