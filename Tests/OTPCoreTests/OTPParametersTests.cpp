// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/JSONCoding.hpp>
#include <OTPCore/OTPParameters.hpp>
#include <gtest/gtest.h>
#include <limits>

using namespace zemlar;
using JSONCoding::JSON;

namespace {

TEST(OTPParameters, AcceptsOnlySixToEightDigitsAndAPositivePeriod) {
    EXPECT_FALSE(OTPParameters::make(OTPAlgorithm::sha1, 5, 30));
    EXPECT_FALSE(OTPParameters::make(OTPAlgorithm::sha1, 9, 30));
    EXPECT_FALSE(OTPParameters::make(OTPAlgorithm::sha1, 6, 0));
    EXPECT_FALSE(OTPParameters::make(OTPAlgorithm::sha1, 6, -30));
    EXPECT_FALSE(
        OTPParameters::make(OTPAlgorithm::sha1, std::numeric_limits<std::int64_t>::min(), 30));
    EXPECT_TRUE(OTPParameters::make(OTPAlgorithm::sha512, 8, 1));
}

TEST(OTPAlgorithm, RawValuesAreExactAndUpperCase) {
    EXPECT_EQ(OTPAlgorithms::rawValue(OTPAlgorithm::sha256), "SHA256");
    EXPECT_EQ(OTPAlgorithms::fromRawValue("SHA512"), OTPAlgorithm::sha512);
    EXPECT_EQ(OTPAlgorithms::fromRawValue("sha1"), std::nullopt);
    EXPECT_EQ(OTPAlgorithms::fromRawValue("SHA1 "), std::nullopt);
    EXPECT_EQ(OTPAlgorithms::fromRawValue("MD5"), std::nullopt);
}

TEST(OTPParametersCoding, WritesTheThreeKeysAndReadsValidObjects) {
    EXPECT_EQ(JSONCoding::encode(OTPParameters::standard()),
              JSON::parse(R"({"algorithm":"SHA1","digits":6,"period":30})"));
    const auto read = JSONCoding::decodeParameters(
        JSON::parse(R"({"algorithm":"SHA256","digits":7,"period":60,"extra":true})"));
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, OTPParameters::make(OTPAlgorithm::sha256, 7, 60));
}

TEST(OTPParametersCoding, RefusesInvalidOrIncompleteObjects) {
    for (const char* text : {
             R"({"algorithm":"SHA256","digits":10,"period":60})",
             R"({"algorithm":"SHA256","digits":7,"period":0})",
         }) {
        const auto read = JSONCoding::decodeParameters(JSON::parse(text));
        ASSERT_FALSE(read) << text;
        EXPECT_EQ(JSONCoding::describe(read.error()), "Недопустимые параметры OTP") << text;
    }
    for (const char* text : {
             R"({"algorithm":"SHA256","digits":7})",
             R"({"algorithm":"sha256","digits":7,"period":60})",
             R"({"algorithm":"SHA256","digits":"7","period":60})",
             R"({"algorithm":"SHA256","digits":7.5,"period":60})",
             R"({"algorithm":"SHA256","digits":7,"period":18446744073709551615})",
             R"(["SHA256",7,60])",
         }) {
        const auto read = JSONCoding::decodeParameters(JSON::parse(text));
        ASSERT_FALSE(read) << text;
        EXPECT_EQ(read.error(), JSONCoding::ParametersDecodingError::incomplete) << text;
    }
}

} // namespace
