// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreDoubles.hpp"

#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

const std::string idText = "6BA7B810-9DAD-11D1-80B4-00C04FD430C8";

} // namespace

TEST(VaultContents, DecodesEveryMemberIgnoresUnknownKeysAndEncodesCompactly) {
    const auto contents = VaultContents::decode(
        bytesOf(R"({"version":1,"secrets":{")" + idText +
                R"(":"SGVsbG8h"},"backup":{"key":[1,2,255],"salt":[0],"iterations":600000},)"
                R"("recovery":{")" +
                idText + R"(":["a1","b2"]},"extra":true})"));
    ASSERT_TRUE(contents.has_value());
    EXPECT_EQ(contents->version, 1);
    EXPECT_EQ(contents->secrets.at(idText), bytesOf("Hello!"));
    EXPECT_EQ(contents->backup, BackupCredentials(Bytes{1, 2, 255}, Bytes{0}, 600000));
    ASSERT_TRUE(contents->recovery.has_value());
    EXPECT_EQ(contents->recovery->at(idText), (std::vector<std::string>{"a1", "b2"}));
    EXPECT_EQ(VaultContents::decode(contents->encoded().value()), *contents);

    VaultContents secretsOnly;
    secretsOnly.secrets[idText] = bytesOf("Hello!");
    EXPECT_EQ(textOf(secretsOnly.encoded().value()),
              R"({"secrets":{")" + idText + R"(":"SGVsbG8h"},"version":1})");
}

TEST(VaultContents, RefusesEveryDocumentThatIsNotVersionOne) {
    const std::string backup = R"({"version":1,"secrets":{},"backup":)";
    const std::string texts[] = {
        "",
        "not json",
        "[]",
        R"({"version":2,"secrets":{}})",
        R"({"secrets":{}})",
        R"({"version":"1","secrets":{}})",
        R"({"version":1})",
        R"({"version":1,"secrets":[]})",
        R"({"version":1,"secrets":{"a":"not base64!"}})",
        R"({"version":1,"secrets":{"a":5}})",
        backup + R"({"key":[1],"salt":[2]}})",
        backup + R"({"key":[256],"salt":[],"iterations":1}})",
        backup + R"({"key":[-1],"salt":[],"iterations":1}})",
        backup + R"({"key":"AQ==","salt":[],"iterations":1}})",
        R"({"version":1,"secrets":{},"recovery":{"a":"code"}})",
        R"({"version":1,"secrets":{},"recovery":{"a":[1]}})",
    };
    for (const std::string& text : texts) {
        EXPECT_EQ(VaultContents::decode(bytesOf(text)), fail(SecretStoreError::invalidData()))
            << text;
    }
}

TEST(BackupCredentials, CodesKeyAndSaltAsArraysOfByteValues) {
    const BackupCredentials credentials(Bytes{0, 128, 255}, Bytes{9, 8}, 310000);
    const auto encoded = credentials.encoded();
    ASSERT_TRUE(encoded.has_value());
    EXPECT_EQ(textOf(*encoded), R"({"iterations":310000,"key":[0,128,255],"salt":[9,8]})");
    EXPECT_EQ(BackupCredentials::decode(*encoded), credentials);
    EXPECT_EQ(BackupCredentials::decode(bytesOf(R"({"key":[1],"salt":[2]})")), std::nullopt);
    EXPECT_EQ(BackupCredentials::decode(bytesOf(R"({"key":[1.5],"salt":[2],"iterations":1})")),
              std::nullopt);
}
