// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/JSONCoding.hpp>
#include <OTPCore/OTPParameters.hpp>
#include <gtest/gtest.h>
#include <limits>

using namespace zemlar;
using JSONCoding::JSON;

TEST(OTPParameters, AcceptOnlySixToEightDigitsAPositivePeriodAndExactAlgorithmNames) {
    for (const auto& [digits, period] : {std::pair<std::int64_t, std::int64_t>{5, 30},
                                         {9, 30},
                                         {6, 0},
                                         {std::numeric_limits<std::int64_t>::min(), 30}}) {
        EXPECT_FALSE(OTPParameters::make(OTPAlgorithm::sha1, digits, period)) << digits << period;
    }
    EXPECT_TRUE(OTPParameters::make(OTPAlgorithm::sha512, 8, 1));
    EXPECT_EQ(OTPAlgorithms::fromRawValue("SHA512"), OTPAlgorithm::sha512);
    for (const char* name : {"sha1", "SHA1 ", "MD5"}) {
        EXPECT_EQ(OTPAlgorithms::fromRawValue(name), std::nullopt) << name;
    }
}

TEST(OTPParametersCoding, WritesTheThreeKeysAndReadsOnlyValidObjects) {
    EXPECT_EQ(JSONCoding::encode(OTPParameters::standard()),
              JSON::parse(R"({"algorithm":"SHA1","digits":6,"period":30})"));
    EXPECT_EQ(JSONCoding::decodeParameters(
                  JSON::parse(R"({"algorithm":"SHA256","digits":7,"period":60,"extra":true})")),
              *OTPParameters::make(OTPAlgorithm::sha256, 7, 60));
    using enum JSONCoding::ParametersDecodingError;
    const std::pair<const char*, JSONCoding::ParametersDecodingError> cases[] = {
        {R"({"algorithm":"SHA256","digits":10,"period":60})", invalidParameters},
        {R"({"algorithm":"SHA256","digits":7})", incomplete},
        {R"({"algorithm":"sha256","digits":7,"period":60})", incomplete},
        {R"({"algorithm":"SHA256","digits":7.5,"period":60})", incomplete},
        {R"({"algorithm":"SHA256","digits":7,"period":18446744073709551615})", incomplete},
    };
    for (const auto& [text, error] : cases) {
        const auto read = JSONCoding::decodeParameters(JSON::parse(text));
        ASSERT_FALSE(read) << text;
        EXPECT_EQ(read.error(), error) << text;
    }
}
