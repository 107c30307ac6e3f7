// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/Date.hpp>
#include <OTPCore/UUID.hpp>
#include <cmath>
#include <gtest/gtest.h>

using namespace zemlar;

namespace {

// Whole seconds in UTC, read back as written; nothing outside four-digit years.
TEST(DateISO8601, WritesWholeSecondsInUTCAndReadsThemBack) {
    const std::pair<double, const char*> cases[] = {
        {1740821400.999, "2025-03-01T09:30:00Z"}, {-0.5, "1969-12-31T23:59:59Z"},
        {951782400, "2000-02-29T00:00:00Z"},      {253402300799, "9999-12-31T23:59:59Z"},
        {-62135596800, "0001-01-01T00:00:00Z"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(Date(seconds).iso8601(), text);
        EXPECT_EQ(Date::parseISO8601(text), Date(std::floor(seconds))) << text;
    }
    for (const double seconds : {253402300800.0, -62135596801.0, std::nan(""), HUGE_VAL}) {
        EXPECT_EQ(Date(seconds).iso8601(), std::nullopt) << seconds;
    }
}

TEST(DateISO8601, RefusesEveryOtherForm) {
    for (const char* text :
         {"2025-03-01T09:30:00.5Z", "2025-03-01T09:30:00", "2025-02-29T09:30:00Z",
          "2024-13-01T09:30:00Z", "2024-01-01T24:00:00Z", "0000-01-01T00:00:00Z",
          "2025-03-01T10:30:00+01:00", "2025-3-01T09:30:00Z", "2025-03-01T09:30:00ZZ"}) {
        EXPECT_EQ(Date::parseISO8601(text), std::nullopt) << text;
    }
    EXPECT_TRUE(Date::parseISO8601("2024-02-29T09:30:00Z"));
}

TEST(UUID, ParsesEitherCaseOfTheCanonicalFormOnlyAndWritesUpperCase) {
    const auto lower = UUID::parse("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    ASSERT_TRUE(lower);
    EXPECT_EQ(lower->uuidString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    for (const char* text : {
             "E621E1F8C36C495A93FC0C247A3E6E5F",
             "E621E1F8-C36C-495A-93FC_0C247A3E6E5F",
             "E621E1F-8C36C-495A-93FC-0C247A3E6E5F",
         }) {
        EXPECT_EQ(UUID::parse(text), std::nullopt) << text;
    }
}

} // namespace
