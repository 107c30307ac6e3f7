// SPDX-License-Identifier: GPL-3.0-or-later
#include <ZemlarKit/RandomBytes.hpp>
#include <gtest/gtest.h>
#include <set>

using namespace zemlar;

TEST(RandomBytes, GivesTheCountAskedForAndNeverRepeatsASalt) {
    EXPECT_TRUE(RandomBytes::generate(0).empty());
    std::set<Bytes> salts;
    for (int draw = 0; draw < 1000; ++draw) {
        salts.insert(RandomBytes::generate(16));
    }
    EXPECT_EQ(salts.size(), 1000u);
    EXPECT_EQ(salts.begin()->size(), 16u);
}

TEST(RandomBytes, MakesVersion4Identifiers) {
    const UUID first = RandomBytes::uuid();
    EXPECT_NE(first, RandomBytes::uuid());
    const std::string text = first.uuidString();
    EXPECT_EQ(text[14], '4');
    EXPECT_NE(std::string("89AB").find(text[19]), std::string::npos);
}
