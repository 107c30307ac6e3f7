// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/Base32.hpp>
#include <OTPCore/OTPAuthURI.hpp>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

using namespace zemlar;

namespace {

const Bytes hello = {'H', 'e', 'l', 'l', 'o', '!', 0xDE, 0xAD, 0xBE, 0xEF}; // JBSWY3DPEHPK3PXP

OTPAuthEntry parsed(const std::string& text) {
    auto result = OTPAuthURI::parse(text);
    EXPECT_TRUE(result.has_value()) << text << " -> " << result.error().describe();
    return result ? *result : OTPAuthEntry("<failed>", "", {1}, OTPParameters::standard());
}

OTPParameters parameters(OTPAlgorithm algorithm, std::int64_t digits, std::int64_t period) {
    return *OTPParameters::make(algorithm, digits, period);
}

} // namespace

TEST(OTPAuthURIParse, IgnoresCaseUnknownItemsAndSurroundingBlanks) {
    for (const char* text : {"otpauth://totp/alice?secret=JBSWY3DPEHPK3PXP&counter=4&image=x&extra",
                             "OTPAUTH://TOTP/alice?SECRET=JBSWY3DPEHPK3PXP",
                             "\t\u2028otpauth://Totp/alice?secret=jbswy3dpehpk3pxp\u3000\v\f\u0085",
                             "otpauth://t%6Ftp/alice?secret=JBSWY3DPEHPK3PXP"}) {
        EXPECT_EQ(parsed(text), OTPAuthEntry("", "alice", hello, OTPParameters::standard()))
            << text;
    }
}

// One row per refusal reason and boundary, checked in the documented order: scheme, URI, type,
// secret, then parameters.
TEST(OTPAuthURIParse, RefusesWithTheFirstFailingCheck) {
    const auto scheme = OTPAuthURIError::unsupportedScheme();
    const auto uri = OTPAuthURIError::invalidURI();
    const auto missing = OTPAuthURIError::missingSecret();
    const auto secret = OTPAuthURIError::invalidSecret();
    const auto parameters = OTPAuthURIError::invalidParameters();
    const std::pair<std::string, OTPAuthURIError> cases[] = {
        {"http://totp/a?secret=JBSWY3DPEHPK3PXP", scheme},
        {"", scheme},
        {"otpauth://totp/a b?secret=JBSWY3DPEHPK3PXP", uri},
        {"otpauth://totp/a?secret=JBSW%G1", uri},
        {"otpauth://totp/caf\xC3\xA9?secret=JBSWY3DPEHPK3PXP", uri},
        {std::string("otpauth://totp/a\0b?secret=JBSWY3DPEHPK3PXP", 40), uri},
        {"otpauth://HOTP/a?secret=JBSWY3DPEHPK3PXP", OTPAuthURIError::unsupportedType("hotp")},
        {"otpauth://abc/a?secret=JBSWY3DPEHPK3PXP", OTPAuthURIError::unsupportedType("abc")},
        {"otpauth:totp/a?secret=JBSWY3DPEHPK3PXP", OTPAuthURIError::unsupportedType("")},
        {"otpauth://totp/a", missing},
        {"otpauth://totp/a?secret=", missing},
        {"otpauth://totp/a?secret=&secret=JBSWY3DPEHPK3PXP", missing},
        {"otpauth://totp/a?SECRET=JBSWY3DPEHPK3PX1&secret=JBSWY3DPEHPK3PXP", secret},
        {"otpauth://totp/a?secret=%20JBSWY3DPEHPK3PXP+", secret}, // "+" is not a space
    };
    for (const auto& [text, error] : cases) {
        EXPECT_EQ(OTPAuthURI::parse(text), fail(error)) << text;
    }
    for (const char* item :
         {"algorithm=MD5", "algorithm=SHA1%20", "digits=5", "digits=9", "digits", "digits=6.0",
          "digits=+-6", "period=0", "period=30s", "period=9223372036854775808"}) {
        EXPECT_EQ(OTPAuthURI::parse(std::string("otpauth://totp/a?secret=AA&") + item),
                  fail(parameters))
            << item;
    }
}

TEST(OTPAuthURIParse, ReadsSecretAlgorithmDigitsAndPeriodLeniently) {
    EXPECT_EQ(parsed("otpauth://totp/a?secret=JBSW%20Y3DP-EHPK3PXP%3D%3D").secret, hello);
    const std::pair<const char*, OTPParameters> cases[] = {
        {"ALGORITHM=Sha256", parameters(OTPAlgorithm::sha256, 6, 30)},
        {"algorithm=SHA1&algorithm=MD5", OTPParameters::standard()},
        {"digits=007", parameters(OTPAlgorithm::sha1, 7, 30)},
        {"period=9223372036854775807", parameters(OTPAlgorithm::sha1, 6, INT64_MAX)},
    };
    for (const auto& [item, expected] : cases) {
        EXPECT_EQ(parsed(std::string("otpauth://totp/a?secret=AA&") + item).parameters, expected)
            << item;
    }
}

// The issuer item wins over the label's issuer unless blank; the label splits at its first colon.
TEST(OTPAuthURIParse, TakesTheIssuerItemOverTheLabelSplitAtTheFirstColon) {
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        {"/Acme:alice", "&issuer=Other", "Other", "alice"},
        {"/Acme:alice", "&issuer=%20%09", "Acme", "alice"},
        {"/alice", "&issuer=%20Big+Co%20", "Big+Co", "alice"},
        {"/Acme%3Aalice", "", "Acme", "alice"},
        {"/%20Acme%20:%20%20alice%20", "", "Acme", "alice"},
        {"/:alice", "", "", "alice"},
        {"/a:b:c", "", "a", "b:c"},
        {"", "", "", ""},
        {"/alice@google.com/", "", "", "alice@google.com/"},
        {"/caf%C3%A9:%E2%80%83na%CC%88me", "", "caf\u00E9", "na\u0308me"},
        {"/a%FFb", "", "", "a\uFFFDb"},
    };
    for (const auto& [path, items, issuer, name] : cases) {
        const auto entry = parsed("otpauth://totp" + path + "?secret=JBSWY3DPEHPK3PXP" + items);
        EXPECT_EQ(entry.issuer, issuer) << path << items;
        EXPECT_EQ(entry.name, name) << path << items;
    }
}

TEST(OTPAuthURIParseLabel, KeepsLineBreaksAndLaterSlashes) {
    EXPECT_EQ(OTPAuthURI::parseLabel("//x"), (OTPAuthURI::Label{std::nullopt, "/x"}));
    EXPECT_EQ(OTPAuthURI::parseLabel(" \t:\n alice\u00A0"),
              (OTPAuthURI::Label{std::nullopt, "\n alice"}));
    EXPECT_EQ(OTPAuthURI::parseLabel("\nAcme:b"), (OTPAuthURI::Label{"\nAcme", "b"}));
}

TEST(OTPAuthURIMake, WritesTheDocumentedForm) {
    EXPECT_EQ(OTPAuthURI::make("ACME Co", "alice", hello, OTPParameters::standard()),
              "otpauth://totp/ACME%20Co:alice?secret=JBSWY3DPEHPK3PXP&issuer=ACME%20Co&"
              "algorithm=SHA1&digits=6&period=30");
    EXPECT_EQ(OTPAuthURI::make("", "alice", hello, parameters(OTPAlgorithm::sha512, 8, 60)),
              "otpauth://totp/alice?secret=JBSWY3DPEHPK3PXP&algorithm=SHA512&digits=8&period=60");
    EXPECT_EQ(OTPAuthURI::make("", "a:b", hello, OTPParameters::standard()),
              "otpauth://totp/:a%3Ab?secret=JBSWY3DPEHPK3PXP&algorithm=SHA1&digits=6&period=30");
    EXPECT_EQ(OTPAuthURI::make("x", "a/b?c#d%e&f=g+h@i", hello, OTPParameters::standard()),
              "otpauth://totp/x:a%2Fb%3Fc%23d%25e&f=g+h@i?secret=JBSWY3DPEHPK3PXP&issuer=x&"
              "algorithm=SHA1&digits=6&period=30");
    EXPECT_EQ(OTPAuthURI::make("&=+#% é", "", hello, OTPParameters::standard()),
              "otpauth://totp/&=+%23%25%20%C3%A9:?secret=JBSWY3DPEHPK3PXP&issuer=%26%3D%2B%23%25%"
              "20%C3%A9&algorithm=SHA1&digits=6&period=30");
}
