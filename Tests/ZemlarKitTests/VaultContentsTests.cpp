// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreDoubles.hpp"

#include <gtest/gtest.h>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

const std::string idText = "6BA7B810-9DAD-11D1-80B4-00C04FD430C8";

} // namespace

TEST(VaultContents, DecodesEveryMemberAndIgnoresUnknownKeys) {
    const auto contents = VaultContents::decode(
        bytesOf(R"({"version":1,"secrets":{")" + idText +
                R"(":"SGVsbG8h"},"backup":{"key":[1,2,255],"salt":[0],"iterations":600000},)"
                R"("recovery":{")" +
                idText + R"(":["a1","b2"]},"extra":true})"));
    ASSERT_TRUE(contents.has_value());
    EXPECT_EQ(contents->secrets.at(idText), bytesOf("Hello!"));
    EXPECT_EQ(contents->backup, BackupCredentials(Bytes{1, 2, 255}, Bytes{0}, 600000));
    EXPECT_EQ(contents->recovery.value().at(idText), (std::vector<std::string>{"a1", "b2"}));
    EXPECT_EQ(VaultContents::decode(contents->encoded().value()), *contents);
}

TEST(VaultContents, RefusesEveryDocumentThatIsNotVersionOne) {
    const std::string backup = R"({"version":1,"secrets":{},"backup":)";
    for (const std::string& text : {
             std::string("not json"),
             std::string("[]"),
             std::string(R"({"version":2,"secrets":{}})"),
             std::string(R"({"secrets":{}})"),
             std::string(R"({"version":"1","secrets":{}})"),
             std::string(R"({"version":1})"),
             std::string(R"({"version":1,"secrets":[]})"),
             std::string(R"({"version":1,"secrets":{"a":"not base64!"}})"),
             std::string(R"({"version":1,"secrets":{"a":5}})"),
             backup + R"({"key":[1],"salt":[2]}})",
             backup + R"({"key":[256],"salt":[],"iterations":1}})",
             backup + R"({"key":[-1],"salt":[],"iterations":1}})",
             backup + R"({"key":[1.5],"salt":[],"iterations":1}})",
             backup + R"({"key":"AQ==","salt":[],"iterations":1}})",
             std::string(R"({"version":1,"secrets":{},"recovery":{"a":"code"}})"),
             std::string(R"({"version":1,"secrets":{},"recovery":{"a":[1]}})"),
         }) {
        EXPECT_EQ(VaultContents::decode(bytesOf(text)), fail(SecretStoreError::invalidData()))
            << text;
    }
}
