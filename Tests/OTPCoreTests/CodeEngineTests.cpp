// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/Base32.hpp>
#include <OTPCore/CodeFormat.hpp>
#include <OTPCore/FreshCode.hpp>
#include <OTPCore/HOTP.hpp>
#include <OTPCore/KeyStrokes.hpp>
#include <OTPCore/RecoveryCodes.hpp>
#include <OTPCore/TOTP.hpp>
#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

using namespace zemlar;

namespace {

Bytes ascii(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

const Bytes rfcSHA1Seed = ascii("12345678901234567890");
const Bytes rfcSHA256Seed = ascii("12345678901234567890123456789012");
const Bytes rfcSHA512Seed =
    ascii("1234567890123456789012345678901234567890123456789012345678901234");

OTPParameters parameters(OTPAlgorithm algorithm, std::int64_t digits, std::int64_t period = 30) {
    return *OTPParameters::make(algorithm, digits, period);
}

TEST(HOTP, MatchesRFC4226AppendixDAndCountersBeyond32Bits) {
    EXPECT_EQ(HOTP::code(rfcSHA1Seed, 0, OTPParameters::standard()), "755224");
    const Bytes secret = *Base32::decode(
        "OR6O5BU2ZCD6PPEJ6OB2LKW5SXUZ7LJM6KS3ND7PX664ZOTWZOY6JJN24KX3N2FPVPT3BA7RXO6ISLJN26MOLF4O"
        "6GDK3AHTQ6S3XY4PW7UITDRA6OUZPCGVU7Z2HHE34KL2G");
    EXPECT_EQ(HOTP::code(secret, 10'000'000'000ull, OTPParameters::standard()), "361593");
}

TEST(HOTP, AKeyTheLibraryRefusesGivesNoCodeInsteadOfReadingAnEmptyMAC) {
    const std::uint8_t byte = 0;
    // Never read: the length alone makes HMAC() fail.
    const std::span<const std::uint8_t> oversized(&byte, std::size_t{INT_MAX} + 1);
    EXPECT_EQ(HOTP::code(oversized, 0, OTPParameters::standard()), "");
    EXPECT_EQ(HOTP::dynamicTruncation({}), 0u);
}

// Rows of RFC 6238 appendix B: one per algorithm, a leading zero, and a counter past 32 bits;
// then shorter codes keep their leading zeros.
TEST(TOTP, MatchesRFC6238AppendixB) {
    const std::tuple<const Bytes&, double, OTPAlgorithm, std::int64_t, const char*> rows[] = {
        {rfcSHA1Seed, 59, OTPAlgorithm::sha1, 8, "94287082"},
        {rfcSHA1Seed, 1111111109, OTPAlgorithm::sha1, 8, "07081804"},
        {rfcSHA256Seed, 1234567890, OTPAlgorithm::sha256, 8, "91819424"},
        {rfcSHA512Seed, 20000000000, OTPAlgorithm::sha512, 8, "47863826"},
        {rfcSHA1Seed, 59, OTPAlgorithm::sha1, 7, "4287082"},
    };
    for (const auto& [seed, time, algorithm, digits, code] : rows) {
        EXPECT_EQ(TOTP::code(seed, Date(time), parameters(algorithm, digits)), code);
    }
}

TEST(TOTP, CounterAndRemainingSecondsAtPeriodEdges) {
    EXPECT_EQ(TOTP::counter(Date(30.0), 30), 1u);
    EXPECT_EQ(TOTP::secondsRemaining(Date(30.0), 30), 30);
    EXPECT_EQ(TOTP::counter(Date(59.9), 30), 1u);
    EXPECT_EQ(TOTP::secondsRemaining(Date(59.9), 30), 1);
    EXPECT_EQ(TOTP::counter(Date(29.999), 30), 0u);
}

TEST(TOTP, MomentsBefore1970CountAsTheStartAndNoMomentBreaksIt) {
    for (const double moment : {-0.5, -30.0}) {
        EXPECT_EQ(TOTP::counter(Date(moment), 30), 0u) << moment;
        EXPECT_EQ(TOTP::secondsRemaining(Date(moment), 30), 30) << moment;
        EXPECT_EQ(TOTP::code(rfcSHA1Seed, Date(moment), OTPParameters::standard()), "755224");
    }
    // Moments no clock produces still give a code and a remaining time within the period.
    for (const double moment : {std::nan(""), 1e300}) {
        EXPECT_EQ(TOTP::code(rfcSHA1Seed, Date(moment), OTPParameters::standard()).size(), 6u);
        const auto remaining = TOTP::secondsRemaining(Date(moment), 30);
        EXPECT_GE(remaining, 1);
        EXPECT_LE(remaining, 30);
    }
}

TEST(FreshCode, DeliversAtOnceWhileFourSecondsRemainElseWaitsForTheNextPeriod) {
    const double periodStart = 1'700'000'010.0; // a multiple of 30
    const std::pair<double, double> offsetAndDelay[] = {{0, 0},      {26.5, 0},   {26.999, 0},
                                                        {27.0, 3.0}, {27.5, 2.5}, {29.9, 0.1}};
    for (const auto& [offset, delay] : offsetAndDelay) {
        EXPECT_NEAR(FreshCode::delay(Date(periodStart + offset), 30), delay, 1e-6) << offset;
    }
}

TEST(FreshCode, ShortPeriodsAlwaysWaitAndNeverGoNegative) {
    // With a period of 3 seconds no code ever has 4 seconds left.
    for (double offset = 0; offset < 3; offset += 0.25) {
        const double delay = FreshCode::delay(Date(300 + offset), 3);
        EXPECT_GT(delay, 0.0) << offset;
        EXPECT_LE(delay, 3.0) << offset;
    }
    EXPECT_GE(FreshCode::delay(Date(-5), 30), 0.0);
}

TEST(CodeFormat, SplitsAfterTheFirstHalfRoundedUp) {
    for (const auto& [code, shown] :
         {std::pair{"1234567", "1234 567"}, {"12345678", "1234 5678"}, {"1234", "1234"}}) {
        EXPECT_EQ(CodeFormat::grouped(code), shown);
    }
}

TEST(KeyStrokes, TypeEveryDigitOnItsTopRowKeyAndReturnOnlyWhenAsked) {
    const std::uint16_t keys[] = {29, 18, 19, 20, 21, 23, 22, 26, 28, 25};
    std::vector<KeyStroke> expected;
    for (char digit = '0'; digit <= '9'; ++digit) {
        expected.push_back({keys[digit - '0'], std::string(1, digit)});
    }
    EXPECT_EQ(KeyStrokes::forCode("0123456789", false), expected);
    EXPECT_EQ(KeyStrokes::forCode("90", true),
              (std::vector<KeyStroke>{{25, "9"}, {29, "0"}, {36, "\r"}}));
}

TEST(KeyStrokes, RefuseAnythingButASCIIDigits) {
    using namespace std::string_view_literals;
    for (const auto code : {""sv, "12345a"sv, "\xD9\xA1\xD9\xA2\xD9\xA3"sv /* ١٢٣ */,
                            "12\0"
                            "34"sv}) {
        EXPECT_FALSE(KeyStrokes::forCode(code, true).has_value()) << code;
    }
}

TEST(RecoveryCodes, ParsingDropsBlanksAndRepeatsAndSplitsAtEveryLineBreak) {
    using Codes = std::vector<std::string>;
    EXPECT_EQ(RecoveryCodes::parse("A1\n\n  B2\nA1"), (Codes{"A1", "B2"}));
    EXPECT_EQ(RecoveryCodes::parse("a\r\nb\rc\vd\fe\u0085f\u2028g\u2029h\r\n"),
              (Codes{"a", "b", "c", "d", "e", "f", "g", "h"}));
    EXPECT_EQ(RecoveryCodes::parse("ab\xFF\ncd\xC3"), (Codes{"ab\uFFFD", "cd\uFFFD"}));
}

} // namespace
