// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/Account.hpp>
#include <OTPCore/Base32.hpp>
#include <OTPCore/ExternalExports.hpp>
#include <OTPCore/OTPAlgorithm.hpp>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

using JSON = nlohmann::json;

namespace zemlar {

void PrintTo(const ImportBatch& batch, std::ostream* out) {
    for (const auto& entry : batch.entries) {
        *out << "\n  entry " << entry.issuer << " / " << entry.name << " "
             << Base32::encode(entry.secret) << " " << entry.parameters.digits() << " "
             << entry.parameters.period();
    }
    for (const auto& skip : batch.skipped) {
        *out << "\n  skip " << skip.title << ": " << ImportSkipReasons::describe(skip.reason);
    }
}

} // namespace zemlar

using namespace zemlar;

namespace {

const std::filesystem::path samples = ZEMLAR_EXPORT_SAMPLES;

std::string contentOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

/// What the import makes of an account the oracle lists: an entry for a TOTP one we can hold,
/// otherwise a skip with its reason.
void expect(const JSON& account, ImportBatch& batch) {
    const auto type = account.at("type").get<std::string>();
    const auto issuer = account.at("issuer").get<std::string>();
    auto name = account.at("name").get<std::string>();
    // Our link rules read a label ":account" as an empty issuer and the account.
    if (issuer.empty() && name.starts_with(':')) {
        name.erase(0, 1);
    }
    const auto digits = account.at("digits").get<std::int64_t>();
    const auto title = AccountTitle::make(issuer, name);
    if (type == "hotp") {
        batch.skipped.push_back({title, ImportSkipReason::hotp});
    } else if (type != "totp") {
        batch.skipped.push_back({title, ImportSkipReason::unsupportedType});
    } else if (!OTPParameters::isAllowedDigits(digits)) {
        batch.skipped.push_back({title, ImportSkipReason::invalidParameters});
    } else {
        batch.entries.emplace_back(
            issuer, name, *Base32::decode(account.at("secret").get<std::string>()),
            *OTPParameters::make(
                *OTPAlgorithms::fromRawValue(account.at("algorithm").get<std::string>()), digits,
                account.at("period").get<std::int64_t>()));
    }
}

std::vector<std::string> groupsOf(const ImportBatch& batch) {
    std::vector<std::string> groups;
    for (const auto& entry : batch.entries) {
        groups.push_back(entry.group);
    }
    return groups;
}

} // namespace

// Every sample of these apps imports what the oracle lists for it, and each encrypted one asks
// for its password and refuses a wrong one. (The other readers' samples have a test of their own.)
TEST(ExternalExports, SamplesGiveTheirAccountsAndSkips) {
    const std::set<std::string> ownApps = {"aegis", "2fas", "andotp", "freeotp", "lastpass"};
    if (!std::filesystem::is_directory(ZEMLAR_EXPORT_SAMPLES)) {
        GTEST_SKIP() << "The export samples are absent: " << ZEMLAR_EXPORT_SAMPLES;
    }
    const auto oracle = JSON::parse(contentOf(samples / "expected.json"));
    int checked = 0;
    for (const auto& [file, expected] : oracle.at("files").items()) {
        const auto path = samples / file;
        const auto app = std::filesystem::path(file).begin()->string();
        // Another reader's sample, a link list for the link parser, or the first app version's
        // internal token store, which is no export.
        if (!ownApps.contains(app) || path.extension() == ".txt" ||
            file == "freeotp/aegis__freeotp.xml") {
            continue;
        }
        SCOPED_TRACE(file);
        const auto content = contentOf(path);
        const auto password = expected.at("password").is_string()
                                  ? expected.at("password").get<std::string>()
                                  : std::string();
        const auto read = ExternalExports::read(content, password);
        ASSERT_TRUE(read.has_value());
        ASSERT_TRUE(read->has_value()) << ExportFailures::describe(read->error());
        ImportBatch wanted;
        for (const auto& account : expected.at("accounts")) {
            expect(account, wanted);
        }
        auto got = **read;
        for (auto& entry : got.entries) {
            entry.group.clear();
        }
        EXPECT_EQ(got, wanted);
        if (!password.empty()) {
            EXPECT_EQ(ExternalExports::read(content)->error(), ExportFailure::passwordNeeded);
            EXPECT_EQ(ExternalExports::read(content, "not the password")->error(),
                      ExportFailure::wrongPassword);
        }
        ++checked;
    }
    EXPECT_EQ(checked, 34);
}

TEST(ExternalExports, FileAccountsUnderTheirGroupsFoldersAndTags) {
    if (!std::filesystem::is_directory(ZEMLAR_EXPORT_SAMPLES)) {
        GTEST_SKIP() << "The export samples are absent: " << ZEMLAR_EXPORT_SAMPLES;
    }
    const auto groups = [](const char* file) {
        return groupsOf(**ExternalExports::read(contentOf(samples / file)));
    };
    EXPECT_EQ(groups("aegis/aegis__aegis_plain_grouped_v2.json"),
              (std::vector<std::string>{"group1", "", "group1"}));
    EXPECT_EQ(groups("2fas/stratum__twofas.unencrypted.2fas"),
              (std::vector<std::string>{"", "Group", "", "", "Group"}));
    EXPECT_EQ(groups("andotp/stratum__andotp.unencrypted.json"),
              (std::vector<std::string>{"", "Tag", "", "", ""}));
}

TEST(ExternalExports, LeaveOtherContentToTheLinkParser) {
    if (!std::filesystem::is_directory(ZEMLAR_EXPORT_SAMPLES)) {
        GTEST_SKIP() << "The export samples are absent: " << ZEMLAR_EXPORT_SAMPLES;
    }
    for (const char* content : {"", "otpauth://totp/A?secret=JBSWY3DPEHPK3PXP", "{}", "[1, 2]",
                                "\x89PNG\r\n\x1a\n binary image data that is long enough"}) {
        EXPECT_EQ(ExternalExports::recognise(content), nullptr) << content;
    }
    EXPECT_FALSE(ExternalExports::read(contentOf(samples / "aegis/protonpass__aegis-txt.txt")));
}

TEST(ExternalExports, RefuseDamagedExportsAsAWhole) {
    if (!std::filesystem::is_directory(ZEMLAR_EXPORT_SAMPLES)) {
        GTEST_SKIP() << "The export samples are absent: " << ZEMLAR_EXPORT_SAMPLES;
    }
    auto vault = JSON::parse(contentOf(samples / "aegis/aegis__aegis_plain.json"));
    vault["db"]["entries"].push_back(42);
    EXPECT_EQ(ExternalExports::read(vault.dump())->error(), ExportFailure::damaged);
    auto encrypted = JSON::parse(contentOf(samples / "aegis/aegis__aegis_encrypted.json"));
    encrypted["header"]["slots"][0]["n"] = std::int64_t{1} << 40;
    EXPECT_EQ(ExternalExports::read(encrypted.dump(), "test")->error(), ExportFailure::tooCostly);
}
