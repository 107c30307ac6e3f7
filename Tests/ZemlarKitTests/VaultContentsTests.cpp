// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreDoubles.hpp"

#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

const std::string idText = "6BA7B810-9DAD-11D1-80B4-00C04FD430C8";

Result<VaultContents, SecretStoreError> decodeText(std::string_view text) {
    return VaultContents::decode(bytesOf(text));
}

} // namespace

TEST(VaultContents, DecodesEveryMemberAndIgnoresUnknownKeys) {
    const auto contents =
        decodeText(R"({"version":1,"secrets":{")" + idText +
                   R"(":"SGVsbG8h"},"backup":{"key":[1,2,255],"salt":[0],"iterations":600000},)"
                   R"("recovery":{")" +
                   idText + R"(":["a1","b2"]},"extra":true})");
    ASSERT_TRUE(contents.has_value()) << contents.error().describe();
    EXPECT_EQ(contents->version, 1);
    EXPECT_EQ(contents->secrets.at(idText), bytesOf("Hello!"));
    ASSERT_TRUE(contents->backup.has_value());
    EXPECT_EQ(*contents->backup, BackupCredentials(Bytes{1, 2, 255}, Bytes{0}, 600000));
    ASSERT_TRUE(contents->recovery.has_value());
    EXPECT_EQ(contents->recovery->at(idText), (std::vector<std::string>{"a1", "b2"}));
}

TEST(VaultContents, EncodesCompactlyWithOptionalMembersOnlyWhenPresent) {
    VaultContents contents;
    contents.secrets[idText] = bytesOf("Hello!");
    const auto encoded = contents.encoded();
    ASSERT_TRUE(encoded.has_value());
    EXPECT_EQ(textOf(*encoded), R"({"secrets":{")" + idText + R"(":"SGVsbG8h"},"version":1})");

    contents.backup = BackupCredentials(Bytes{7, 200}, Bytes{1}, 10);
    contents.recovery = RecoveryCodes{{idText, {"x"}}};
    const auto full = contents.encoded();
    ASSERT_TRUE(full.has_value());
    EXPECT_NE(textOf(*full).find(R"("backup":{"iterations":10,"key":[7,200],"salt":[1]})"),
              std::string::npos);
    EXPECT_EQ(VaultContents::decode(*full), contents);
}

TEST(VaultContents, RefusesEveryDocumentThatIsNotVersionOne) {
    for (const std::string& text :
         {std::string(""), std::string("not json"), std::string("[]"),
          std::string(R"({"version":2,"secrets":{}})"), std::string(R"({"secrets":{}})"),
          std::string(R"({"version":"1","secrets":{}})"), std::string(R"({"version":1})"),
          std::string(R"({"version":1,"secrets":[]})"),
          std::string(R"({"version":1,"secrets":{"a":"not base64!"}})"),
          std::string(R"({"version":1,"secrets":{"a":5}})"),
          std::string(R"({"version":1,"secrets":{},"backup":{"key":[1],"salt":[2]}})"),
          std::string(
              R"({"version":1,"secrets":{},"backup":{"key":[256],"salt":[],"iterations":1}})"),
          std::string(
              R"({"version":1,"secrets":{},"backup":{"key":[-1],"salt":[],"iterations":1}})"),
          std::string(
              R"({"version":1,"secrets":{},"backup":{"key":"AQ==","salt":[],"iterations":1}})"),
          std::string(R"({"version":1,"secrets":{},"recovery":{"a":"code"}})"),
          std::string(R"({"version":1,"secrets":{},"recovery":{"a":[1]}})")}) {
        const auto contents = decodeText(text);
        ASSERT_FALSE(contents.has_value()) << text;
        EXPECT_EQ(contents.error(), SecretStoreError::invalidData()) << text;
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
